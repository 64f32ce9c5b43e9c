#pragma once

#include <QByteArray>

// The service's answer is read into a buffer of this size; the rest of a longer one is not read.
inline constexpr qsizetype ShareAnswerLimit = 8192;

// What came back from one share post.
struct ShareReply {
    bool answered = false;  // the request went out and the answer was read (up to ShareAnswerLimit)
    long status = 0;        // the HTTP status
    QByteArray answer;      // at most ShareAnswerLimit bytes

    // The service took the message: a 2xx status and an answer whose first byte is "0".
    bool Accepted() const
    {
        constexpr long FirstSuccess = 200;
        constexpr long FirstAfterSuccess = 300;
        return answered && status >= FirstSuccess && status < FirstAfterSuccess && !answer.isEmpty() &&
               answer.front() == '0';
    }
};
