#include "platform/DocumentBase.h"

#include <QFileInfo>
#include <algorithm>

namespace platform {

const QString DocumentBase::DefaultTitle = QStringLiteral("Untitled");

void DocumentBase::SetTitle(const QString& title)
{
    m_title = title;
    m_shownTitle = title;
    if (titleShown)
        titleShown(m_shownTitle);
}

void DocumentBase::SetPathName(const QString& path)
{
    m_pathName = path;
    SetTitle(QFileInfo(path).fileName());
}

bool DocumentBase::OnNewDocument()
{
    DeleteContents();
    m_pathName.clear();
    SetModifiedFlag(false);
    return true;
}

bool DocumentBase::NewDocument()
{
    if (!OnNewDocument())
        return false;
    SetTitle(DefaultTitle);
    return true;
}

void DocumentBase::AddView(DocumentObserver* view)
{
    if (view && std::find(m_views.begin(), m_views.end(), view) == m_views.end())
        m_views.push_back(view);
}

void DocumentBase::RemoveView(DocumentObserver* view)
{
    m_views.erase(std::remove(m_views.begin(), m_views.end(), view), m_views.end());
}

void DocumentBase::UpdateAllViews(DocumentObserver* sender, int32_t hint, const Rect* rect)
{
    // A copy: a view may add or remove views while it handles the update; a removed one is skipped.
    const std::vector<DocumentObserver*> views = m_views;
    for (DocumentObserver* view : views) {
        if (view != sender && std::find(m_views.begin(), m_views.end(), view) != m_views.end())
            view->OnUpdate(sender, hint, rect);
    }
}

} // namespace platform
