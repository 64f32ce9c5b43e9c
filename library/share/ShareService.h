#pragma once

#include "library/share/ShareMessage.h"
#include "library/share/ShareReply.h"
#include "library/share/ShareTimings.h"

#include <QString>

class Document;

// Sends the finished picture to friends through the sharing web service: an HTTP/1.1 form post to
// "shareAction.php" on the service's host and port (g_paths), synchronous, on the calling thread. Every
// wait is bounded by the timings. The system's proxy serves it unless its host is a loopback one.
class ShareService {
public:
    explicit ShareService(const ShareTimings& timings = {});

    // The e-mail dialog's send, after it has checked the fields: deletes the picture of an earlier send,
    // saves the composition as a JPEG at PicturePath() and posts it. False when the picture could not be
    // saved (nothing is sent then) or the service did not take the message.
    bool SendPicture(Document& document, const ShareMessage& message) const;

    // Posts the picture file with the message; true when the service took it (PostReply's Accepted).
    bool PostShare(const QString& picturePath, const ShareMessage& message) const;
    // The same post, answering what came back. Nothing is sent when the picture cannot be read.
    ShareReply PostReply(const QString& picturePath, const ShareMessage& message) const;

    // Where the picture to send is saved: "shareImage.jpg" in the program's folder of the user's data
    // ("<data>/Snapmingle2/"); empty before g_paths exists.
    static QString PicturePath();

private:
    ShareTimings m_timings;
};
