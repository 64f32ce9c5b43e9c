#include "platform/ui/DialogControls.h"

#include "platform/DialogFont.h"
#include "platform/DialogUnits.h"
#include "platform/Resources.h"

#include <QCheckBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTreeWidget>

namespace platform {

namespace {

constexpr int32_t IconControlSize = 32;

// Static text takes "&" as the mark of a mnemonic, which a label shows underlined; "&&" is one "&".
// A plain label cannot underline, so the mark is dropped.
QString StaticText(const DialogControl& control)
{
    if (control.style.testFlag(ControlStyle::NoPrefix))
        return control.text;
    QString text;
    text.reserve(control.text.size());
    for (qsizetype i = 0; i < control.text.size(); ++i) {
        if (control.text[i] == QLatin1Char('&') && i + 1 < control.text.size())
            ++i;
        text += control.text[i];
    }
    return text;
}

QLabel* MakeLabel(const DialogControl& control, QWidget& parent)
{
    auto* label = new QLabel(&parent);
    label->setTextFormat(Qt::PlainText);
    if (control.style.testFlag(ControlStyle::Border))
        label->setFrameShape(QFrame::Box);
    return label;
}

QWidget* MakeStatic(const DialogControl& control, QWidget& parent)
{
    QLabel* label = MakeLabel(control, parent);
    label->setText(StaticText(control));
    label->setWordWrap(true);
    Qt::Alignment alignment = control.style.testFlag(ControlStyle::TextCentred) ? Qt::AlignHCenter : Qt::AlignLeft;
    alignment |= control.style.testFlag(ControlStyle::TextVCentred) ? Qt::AlignVCenter : Qt::AlignTop;
    label->setAlignment(alignment);
    return label;
}

QWidget* MakePicture(const DialogControl& control, QWidget& parent, const QImage& image)
{
    QLabel* label = MakeLabel(control, parent);
    label->setAlignment(control.style.testFlag(ControlStyle::ImageCentred) ? Qt::AlignCenter
                                                                           : Qt::AlignLeft | Qt::AlignTop);
    if (!image.isNull())
        label->setPixmap(QPixmap::fromImage(image));
    return label;
}

QWidget* MakeEdit(const DialogControl& control, QWidget& parent)
{
    const bool border = control.style.testFlag(ControlStyle::Border);
    if (control.style.testFlag(ControlStyle::MultiLine)) {
        auto* edit = new QPlainTextEdit(control.text, &parent);
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        if (!border)
            edit->setFrameShape(QFrame::NoFrame);
        return edit;
    }
    auto* edit = new QLineEdit(control.text, &parent);
    edit->setFrame(border);
    return edit;
}

QWidget* MakeList(const DialogControl& control, QWidget& parent)
{
    auto* list = new QTreeWidget(&parent);
    list->setColumnCount(1);
    list->setHeaderLabels({control.text});
    list->setRootIsDecorated(false);
    list->setSortingEnabled(false);
    list->header()->setSectionsClickable(false);
    list->setSelectionMode(control.style.testFlag(ControlStyle::SingleSelection)
                               ? QAbstractItemView::SingleSelection
                               : QAbstractItemView::ExtendedSelection);
    return list;
}

QWidget* MakeControl(const DialogControl& control, QWidget& parent)
{
    switch (control.kind) {
    case ControlKind::PushButton: {
        auto* button = new QPushButton(control.text, &parent);
        button->setDefault(control.style.testFlag(ControlStyle::DefaultButton));
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(control.text, &parent);
    case ControlKind::Static:
        return MakeStatic(control, parent);
    case ControlKind::Picture:
        return MakePicture(control, parent,
                           control.image != 0 ? Resources::Picture(ResourceType::Bitmap, control.image) : QImage());
    case ControlKind::Icon:
        return MakePicture(control, parent, Resources::Picture(ResourceType::Icon, control.image, IconControlSize));
    case ControlKind::Edit:
        return MakeEdit(control, parent);
    case ControlKind::List:
        return MakeList(control, parent);
    case ControlKind::TrackBar:
        return new QSlider(Qt::Horizontal, &parent);
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(&parent);
        bar->setTextVisible(false);
        return bar;
    }
    }
    return nullptr;
}

// A picture or icon without a size in the template takes its image's size (an icon's is 32 x 32).
QRect PixelRect(const DialogControl& control, const QWidget& widget)
{
    QRect rect = DialogUnits::ToPixels(control.rect);
    if (!rect.isEmpty())
        return rect;
    if (control.kind == ControlKind::Icon)
        rect.setSize({IconControlSize, IconControlSize});
    else if (const auto* label = qobject_cast<const QLabel*>(&widget); label && !label->pixmap().isNull())
        rect.setSize(label->pixmap().size());
    return rect;
}

void SetFrame(const DialogTemplate& dialogTemplate, QDialog& dialog)
{
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialogTemplate.frame == DialogFrame::Modal)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    dialog.setWindowFlags(flags);
}

} // namespace

DialogControls DialogControls::Build(const DialogTemplate& dialogTemplate, QWidget& parent)
{
    parent.setFont(DialogFont());
    const QSize size = DialogUnits::ToPixels(dialogTemplate.size);
    if (auto* dialog = qobject_cast<QDialog*>(&parent); dialog && dialogTemplate.frame != DialogFrame::Child) {
        SetFrame(dialogTemplate, *dialog);
        dialog->setWindowTitle(dialogTemplate.caption);
        dialog->setFixedSize(size);
    } else {
        parent.resize(size);
    }

    DialogControls controls;
    for (const DialogControl& control : dialogTemplate.controls) {
        QWidget* widget = MakeControl(control, parent);
        if (!widget)
            continue;
        widget->setGeometry(PixelRect(control, *widget));
        if (control.id != DialogControl::NoControlId) {
            widget->setObjectName(QString::number(control.id));
            controls.m_controls.insert(control.id, widget);
        }
    }
    return controls;
}

} // namespace platform
