#include "engine/view/InputBox.h"

#include "engine/document/Document.h"
#include "platform/DialogTemplate.h"
#include "platform/ui/DialogControls.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

namespace {

const QString LineEnd = QStringLiteral("\r\n");

// Dialog template 190. The edit box comes first in the tab order, so it has the focus when the
// dialog opens.
platform::DialogTemplate InputBoxTemplate()
{
    using platform::ControlKind;
    using platform::ControlStyle;
    platform::DialogTemplate dialog{190, QStringLiteral("Edit Text"), {260, 98}, QStringLiteral("MS Shell Dlg"), 8,
                                    platform::DialogFrame::Modal, {}};
    dialog.controls = {
        {InputBox::EditId, ControlKind::Edit, {}, {7, 7, 246, 58}, ControlStyle::MultiLine | ControlStyle::Border, 0},
        {InputBox::ApplyId, ControlKind::PushButton, QStringLiteral("Apply"), {96, 77, 50, 14}, {}, 0},
        {platform::DialogOkId, ControlKind::PushButton, QStringLiteral("OK"), {149, 77, 50, 14}, ControlStyle::DefaultButton, 0},
        {platform::DialogCancelId, ControlKind::PushButton, QStringLiteral("Cancel"), {203, 77, 50, 14}, {}, 0},
    };
    return dialog;
}

} // namespace

QString EditBoxText(const QString& stored)
{
    QString shown = stored;
    shown.replace(LineEnd, QStringLiteral("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

QString StoredText(const QString& boxText, qsizetype limit)
{
    QString stored;
    stored.reserve(boxText.size() + boxText.size() / 8);
    for (qsizetype i = 0; i < boxText.size(); ++i) {
        const QChar c = boxText[i];
        if (c == QLatin1Char('\r') && i + 1 < boxText.size() && boxText[i + 1] == QLatin1Char('\n'))
            continue;  // the LF that follows gives the line end
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
            stored += LineEnd;
        else
            stored += c;
    }
    if (stored.size() <= limit)
        return stored;
    qsizetype cut = limit;
    if (cut > 0 && ((stored[cut - 1] == QLatin1Char('\r') && stored[cut] == QLatin1Char('\n')) ||
                    (stored[cut - 1].isHighSurrogate() && stored[cut].isLowSurrogate())))
        --cut;
    stored.truncate(cut);
    return stored;
}

InputBox::InputBox(Document& document, const QString& initialText, QWidget* parent)
    : QDialog(parent), m_document(document), m_text(initialText)
{
    const platform::DialogControls controls = platform::DialogControls::Build(InputBoxTemplate(), *this);
    m_edit = controls.Get<QPlainTextEdit>(EditId);
    // A multi-line edit of a dialog: Enter starts a new line, Tab moves on, there are no scroll bars
    // and the text is selected, so that typing replaces it.
    m_edit->setTabChangesFocus(true);
    m_edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_edit->setPlainText(EditBoxText(initialText));
    m_shown = BoxText();
    m_edit->selectAll();
    m_edit->setFocus();

    connect(controls.Get<QPushButton>(ApplyId), &QPushButton::clicked, this, &InputBox::OnApply);
    connect(controls.Get<QPushButton>(platform::DialogOkId), &QPushButton::clicked, this, &InputBox::accept);
    connect(controls.Get<QPushButton>(platform::DialogCancelId), &QPushButton::clicked, this, &InputBox::reject);
}

QString InputBox::BoxText() const
{
    // The raw text keeps what the plain text would change (no-break spaces); only the two kinds of
    // line break become line ends.
    QString shown = m_edit->document()->toRawText();
    shown.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    shown.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return shown;
}

void InputBox::FetchText()
{
    const QString shown = BoxText();
    if (shown == m_shown)
        return;  // an untouched text stays whole, even beyond the limit (a project file can hold one)
    m_shown = shown;
    m_text = StoredText(shown, FetchLimit);
}

void InputBox::OnApply()
{
    FetchText();
    m_document.journal.AddSetText(m_text);
}

void InputBox::accept()
{
    FetchText();
    QDialog::accept();
}
