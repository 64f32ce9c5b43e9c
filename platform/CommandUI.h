#pragma once

#include <QString>

namespace platform {

// The user-interface object of one command (a menu item, a tool bar button) handed to the command's
// enabling handler, which sets what it shows.
class CommandUI {
public:
    virtual void Enable(bool enabled) = 0;
    virtual void SetCheck(bool checked) = 0;
    virtual void SetText(const QString& text) = 0;

protected:
    ~CommandUI() = default;
};

} // namespace platform
