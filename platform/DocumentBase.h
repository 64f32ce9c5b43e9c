#pragma once

#include "platform/DocumentObserver.h"

#include <QString>
#include <functional>
#include <cstdint>
#include <vector>

namespace platform {

class Archive;
class DocumentPrompts;
class RecentFileList;

// The framework's document: a title, the path of its file, the modified flag and the views that show it.
// The program's document derives from it and overrides the virtual steps.
class DocumentBase {
public:
    DocumentBase() = default;
    virtual ~DocumentBase() = default;
    DocumentBase(const DocumentBase&) = delete;
    DocumentBase& operator=(const DocumentBase&) = delete;

    // The stored title; the frame shows the title last given to DocumentBase::SetTitle.
    const QString& GetTitle() const { return m_title; }
    const QString& GetShownTitle() const { return m_shownTitle; }
    virtual void SetTitle(const QString& title);
    // Called with the shown title whenever it is set: the frame's caption follows it.
    std::function<void(const QString&)> titleShown;
    const QString& GetPathName() const { return m_pathName; }
    // Takes the path and makes its file name the title.
    void SetPathName(const QString& path);

    virtual bool IsModified() const { return m_modified; }
    virtual void SetModifiedFlag(bool modified) { m_modified = modified; }

    // Empties the document; called before a new project and before one is read.
    virtual void DeleteContents() {}
    // The framework's new-document step: empty contents, no path, not modified. False when it fails.
    virtual bool OnNewDocument();
    // A new document as the framework's New command makes it: OnNewDocument, then the default title.
    bool NewDocument();

    // Writes the contents (storing) or reads them (loading). Archive errors pass to the file procedures.
    virtual void Serialize(Archive& archive) {}
    // Whether the contents can be written at all; a refusal has told the person why.
    virtual bool CanSave() { return true; }

    // The file procedures (DocumentFile.cpp). They ask and report through the prompts and keep the
    // recent-file list, when those are set; without prompts nothing is asked and every question is
    // answered Cancel.
    void SetPrompts(DocumentPrompts* prompts) { m_prompts = prompts; }
    DocumentPrompts* GetPrompts() const { return m_prompts; }
    void SetRecentFiles(RecentFileList* recent) { m_recent = recent; }
    // The filter and the extension (with its dot) of the save dialog.
    void SetFileType(const QString& filter, const QString& extension);
    // Empties the document and reads the file into it; not modified afterwards. False, with the failure
    // reported, when the file cannot be opened (the document is untouched) or read (it is emptied).
    bool OnOpenDocument(const QString& path);
    // Writes a temporary file beside path and renames it over path only when it is complete and
    // flushed; not modified afterwards. False, with the failure reported, the old file as it was and the
    // document still modified, when anything fails.
    bool OnSaveDocument(const QString& path);
    // "Save changes to %1?" for a modified document: true when the caller may go on.
    bool SaveModified();
    // Saves to path, or to a path the save dialog asks for when path is empty (Save As); with replace
    // the document takes the new path and title.
    bool DoSave(const QString& path, bool replace = true);
    // Save: the document's own file, or Save As when it has none or cannot be written.
    bool DoFileSave();
    // Open: asks to save a modified document, then reads the file. A file that could not be read whole
    // leaves a new document in place of the emptied one.
    bool OpenDocumentFile(const QString& path);
    // New: asks to save a modified document, then makes a new one.
    bool FileNew();

    void AddView(DocumentObserver* view);
    void RemoveView(DocumentObserver* view);
    const std::vector<DocumentObserver*>& GetViews() const { return m_views; }
    // Tells every view but sender; a view may add or remove views while it handles the update.
    void UpdateAllViews(DocumentObserver* sender, int32_t hint, const Rect* rect = nullptr);

    static const QString DefaultTitle;

protected:
    // The stored title alone, without telling the frame.
    void StoreTitle(const QString& title) { m_title = title; }
    // Called by Serialize while reading when the file ends inside a record, or is damaged from a record
    // on: the open goes on with what was read, and the person is told, since saving would replace the
    // whole file with that part.
    void NoteFileEndedEarly() { m_partRead = PartRead::EndedEarly; }
    void NoteFileDamagedFromARecord() { m_partRead = PartRead::Damaged; }

private:
    enum class OpenOutcome { Opened, Untouched, Emptied };
    // Reads the file into the emptied document; report is what the person is to be told, if anything.
    OpenOutcome ReadDocument(const QString& path, QString& report);
    void Report(const QString& text) const;

    QString m_title;
    QString m_shownTitle;
    QString m_pathName;
    bool m_modified = false;
    enum class PartRead { Whole, EndedEarly, Damaged };
    PartRead m_partRead = PartRead::Whole;
    std::vector<DocumentObserver*> m_views;
    DocumentPrompts* m_prompts = nullptr;
    RecentFileList* m_recent = nullptr;
    QString m_filter;
    QString m_extension;
};

} // namespace platform
