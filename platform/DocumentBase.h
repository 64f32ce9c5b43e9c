#pragma once

#include "platform/DocumentObserver.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

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

    void AddView(DocumentObserver* view);
    void RemoveView(DocumentObserver* view);
    const std::vector<DocumentObserver*>& GetViews() const { return m_views; }
    // Tells every view but sender; a view may add or remove views while it handles the update.
    void UpdateAllViews(DocumentObserver* sender, int32_t hint, const Rect* rect = nullptr);

    static const QString DefaultTitle;

protected:
    // The stored title alone, without telling the frame.
    void StoreTitle(const QString& title) { m_title = title; }

private:
    QString m_title;
    QString m_shownTitle;
    QString m_pathName;
    bool m_modified = false;
    std::vector<DocumentObserver*> m_views;
};

} // namespace platform
