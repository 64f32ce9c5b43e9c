#pragma once

#include <QString>
#include <cstdint>

namespace platform {

// The user-interface object of one command (a menu item, a tool bar button) handed to the command's
// enabling handler, which sets what it shows. Handlers of an id range read the command's id from it.
class CommandUI {
public:
    virtual void Enable(bool enabled) = 0;
    virtual void SetCheck(bool checked) = 0;
    virtual void SetText(const QString& text) = 0;

    int32_t Id() const { return m_id; }

protected:
    explicit CommandUI(int32_t id = 0) : m_id(id) {}
    ~CommandUI() = default;

private:
    int32_t m_id;
};

} // namespace platform
