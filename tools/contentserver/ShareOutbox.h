#pragma once

#include <QString>
#include <map>
#include <mutex>
#include <string>

// The sharing service's end of the form post: each accepted message is stored as one folder of the
// outbox, "message-NNNN", holding "fields.txt" (one "name=value" line per text field, in the order they
// came) and the picture under its own file name's last component.
class ShareOutbox {
public:
    explicit ShareOutbox(QString folder);

    struct Message {
        std::multimap<std::string, std::string> fields;  // text fields by name
        std::vector<std::pair<std::string, std::string>> orderedFields;
        std::string pictureFileName;
        std::string pictureBytes;
    };

    // The service's answer: "0" when the message was stored, "1 <reason>" when a required field is
    // missing (a sender address, at least one friend, a picture), "2 <reason>" when it could not be
    // stored.
    std::string Accept(const Message& message);

    const QString& Folder() const { return m_folder; }

private:
    QString m_folder;
    std::mutex m_mutex;
    int m_nextNumber = 1;
};
