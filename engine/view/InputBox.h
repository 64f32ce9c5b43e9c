#pragma once

#include <QDialog>
#include <QString>
#include <cstdint>

class Document;
class QPlainTextEdit;

// The modal "Edit Text" dialog (template 190) in which the person types a speech bubble's text. Apply
// journals the typed text on the document at once (one undo step when it changed) and stays open; OK
// fetches the text and closes; Cancel closes without reading the box. The caller journals text()
// afterwards, whatever the button.
//
// Texts are kept with CR LF line ends, as the program has always stored them; the box shows LF.
class InputBox final : public QDialog {
public:
    InputBox(Document& document, const QString& initialText, QWidget* parent = nullptr);

    // The text the dialog holds: the initial text, replaced by the box's content at every OK or Apply
    // that finds it changed.
    const QString& text() const { return m_text; }

    // Reads the box into text(): its line ends as CR LF, cut to the first FetchLimit characters. A box
    // that still shows what it showed at the last fetch (or at the start) leaves text() as it is.
    void FetchText();
    // Apply: fetches the text and journals it; the dialog stays open.
    void OnApply();
    // OK: fetches the text and closes the dialog.
    void accept() override;

    QPlainTextEdit* Edit() const { return m_edit; }

    static constexpr int32_t EditId = 1000;
    static constexpr int32_t ApplyId = 4;
    // The box is read into 1024 characters with room for the terminator in 1023.
    static constexpr qsizetype FetchLimit = 1022;

private:
    // What the box holds, its line breaks as LF.
    QString BoxText() const;

    Document& m_document;
    QString m_text;
    QString m_shown;  // what the box held at the last fetch that changed text(), or when it opened
    QPlainTextEdit* m_edit = nullptr;
};

// A stored text as the box shows it: CR LF and a lone CR become LF.
QString EditBoxText(const QString& stored);
// The box's text as the program stores it: every line end CR LF, at most limit characters, never cut
// inside a CR LF or a surrogate pair.
QString StoredText(const QString& boxText, qsizetype limit);
