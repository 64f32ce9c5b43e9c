#pragma once

#include <QString>
#include <array>

inline constexpr int ShareFriendCount = 8;

// What the e-mail dialog collects for one send: the sender's name and address, the subject and up to
// eight friends' addresses (an empty one is not used, but is still sent as an empty field).
struct ShareMessage {
    QString name;
    QString from;
    QString subject;
    std::array<QString, ShareFriendCount> friends;
};
