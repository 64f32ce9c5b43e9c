#pragma once

#include <QFlags>
#include <QRect>
#include <QSize>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

// What a control of a dialog template is.
enum class ControlKind {
    PushButton,
    CheckBox,     // an automatic check box: a click toggles it
    Static,       // text; it wraps at word boundaries
    Picture,      // a bitmap resource (DialogControl::image); without a size it takes the picture's
    Icon,         // an icon resource at 32 pixels; without a size it takes 32 x 32
    Edit,
    List,         // a list in report view: rows with a column header
    TrackBar,     // horizontal
    ProgressBar,
};

// The styles the layouts use. What Qt's widgets do anyway needs no flag: one-line edits scroll their
// text sideways, a multi-line edit takes Enter as a new line, lists show their selection also without
// the focus and do not sort by their header, track bars have no ticks.
enum class ControlStyle : uint32_t {
    None = 0,
    DefaultButton = 1u << 0,    // Enter presses it
    TextCentred = 1u << 1,      // static text centred horizontally
    TextVCentred = 1u << 2,     // static text centred vertically
    NoPrefix = 1u << 3,         // "&" in static text is shown, not taken as a mnemonic mark
    ImageCentred = 1u << 4,     // the picture centred in the control instead of at its top left
    MultiLine = 1u << 5,        // an edit of several lines
    Border = 1u << 6,           // edits, statics and pictures: a frame; without it an edit has none
    SingleSelection = 1u << 7,  // lists: one row at a time (else several)
};
using ControlStyles = QFlags<ControlStyle>;

// The ids of a dialog's standard buttons, which accept and dismiss it.
inline constexpr int32_t DialogOkId = 1;
inline constexpr int32_t DialogCancelId = 2;

// One control: its id (NoControlId for labels nobody looks up), kind, text and rectangle in dialog units.
struct DialogControl {
    static constexpr int32_t NoControlId = -1;

    int32_t id = NoControlId;
    ControlKind kind = ControlKind::Static;
    QString text;
    QRect rect;  // dialog units; a picture or icon with an empty size takes its image's size
    ControlStyles style;
    int32_t image = 0;  // the bitmap or icon resource id of a picture or icon control
};

enum class DialogFrame {
    Child,           // a panel inside another window: no caption, no frame
    Modal,           // a modal frame with caption and system menu (close box)
    ModalNoSysMenu,  // a modal frame with a caption only
};

// A dialog layout as a table: caption, size and controls in dialog units. The font is recorded as the
// layout names it; every dialog is built with the one fixed dialog font (platform/DialogFont.h), the
// font whose character cell the base units describe. Controls are created in table order, which is
// also their tab order.
struct DialogTemplate {
    int32_t id = 0;
    QString caption;
    QSize size;  // dialog units
    QString fontName;
    int32_t pointSize = 8;
    DialogFrame frame = DialogFrame::Modal;
    std::vector<DialogControl> controls;
};

} // namespace platform

Q_DECLARE_OPERATORS_FOR_FLAGS(platform::ControlStyles)
