#pragma once

#include "platform/DialogTemplate.h"

#include <QHash>
#include <cstdint>

class QWidget;

namespace platform {

// The widgets of a dialog template, made inside a QDialog or QWidget and found by control id.
//
//   DialogControls controls = DialogControls::Build(MailBoxTemplate(), *this);
//   auto* name = controls.Get<QLineEdit>(1023);
//
// Kinds become: PushButton QPushButton, CheckBox QCheckBox, Static QLabel, Picture and Icon QLabel with a
// pixmap, Edit QLineEdit (QPlainTextEdit with MultiLine), List QTreeWidget (one column, no root
// decoration), TrackBar QSlider, ProgressBar QProgressBar. Each widget sits at its rectangle converted to
// pixels (platform/DialogUnits.h) and carries its id as its object name.
class DialogControls {
public:
    // Gives the parent the template's pixel size (fixed for dialogs), caption, window frame (for a
    // QDialog) and the dialog font, then makes the controls in table order.
    static DialogControls Build(const DialogTemplate& dialogTemplate, QWidget& parent);

    // The control with this id; null when the template has none.
    QWidget* Find(int32_t id) const { return m_controls.value(id, nullptr); }

    template <class T>
    T* Get(int32_t id) const
    {
        return qobject_cast<T*>(Find(id));
    }

private:
    QHash<int32_t, QWidget*> m_controls;  // owned by the parent
};

} // namespace platform
