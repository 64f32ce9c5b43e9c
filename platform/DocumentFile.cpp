#include "platform/Archive.h"
#include "platform/DocumentBase.h"
#include "platform/DocumentPrompts.h"
#include "platform/RecentFileList.h"
#include "platform/SaveFileCommit.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <exception>

namespace platform {

namespace {

const QString SaveChangesText = QStringLiteral("Save changes to %1?");
const QString OpenFailedText = QStringLiteral("Could not open \"%1\".\n%2");
const QString DamagedFileText = QStringLiteral("The file is damaged or is not a file of this program.");
const QString EndedEarlyText =
    QStringLiteral("\"%1\" ends early. Only the part before that point was opened.");
const QString DamagedPartText =
    QStringLiteral("\"%1\" is damaged from one point on. Only the part before that point was opened.");
const QString SaveFailedText = QStringLiteral("Could not save \"%1\".\n%2");

} // namespace

void DocumentBase::SetFileType(const QString& filter, const QString& extension)
{
    m_filter = filter;
    m_extension = extension;
}

void DocumentBase::Report(const QString& text) const
{
    if (m_prompts)
        m_prompts->ReportFailure(text);
}

DocumentBase::OpenOutcome DocumentBase::ReadDocument(const QString& path, QString& report)
{
    report.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        report = OpenFailedText.arg(path, file.errorString());
        return OpenOutcome::Untouched;
    }
    DeleteContents();
    SetModifiedFlag(true);  // what the person had is gone from here on
    m_partRead = PartRead::Whole;
    try {
        if (file.size() != 0) {
            ArchiveReader reader(file);
            Archive archive(reader);
            Serialize(archive);
        }
    } catch (const std::exception&) {
        DeleteContents();
        report = OpenFailedText.arg(path, DamagedFileText);
        return OpenOutcome::Emptied;
    }
    SetModifiedFlag(false);
    if (m_partRead == PartRead::EndedEarly)
        report = EndedEarlyText.arg(path);
    else if (m_partRead == PartRead::Damaged)
        report = DamagedPartText.arg(path);
    return OpenOutcome::Opened;
}

bool DocumentBase::OnOpenDocument(const QString& path)
{
    QString report;
    const OpenOutcome outcome = ReadDocument(path, report);
    if (!report.isEmpty())
        Report(report);
    return outcome == OpenOutcome::Opened;
}

bool DocumentBase::OnSaveDocument(const QString& path)
{
    // The new contents go to a temporary file beside the target; commit flushes it to the disk and
    // renames it over the target, so a failure at any point leaves the old file whole.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly)) {
        Report(SaveFailedText.arg(path, file.errorString()));
        return false;
    }
    try {
        ArchiveWriter writer(file);
        Archive archive(writer);
        Serialize(archive);
    } catch (const std::exception& error) {
        file.cancelWriting();
        Report(SaveFailedText.arg(path, QString::fromUtf8(error.what())));
        return false;
    }
    QString error;
    if (!CommitSaveFile(file, error)) {
        Report(SaveFailedText.arg(path, error));
        return false;
    }
    SetModifiedFlag(false);
    return true;
}

bool DocumentBase::SaveModified()
{
    if (!IsModified())
        return true;
    if (!m_prompts)
        return false;
    const QString name = !m_pathName.isEmpty() ? m_pathName : !m_title.isEmpty() ? m_title : DefaultTitle;
    switch (m_prompts->AskYesNoCancel(SaveChangesText.arg(name))) {
    case DocumentPrompts::Answer::Yes:
        return DoFileSave();
    case DocumentPrompts::Answer::No:
        return true;
    case DocumentPrompts::Answer::Cancel:
        break;
    }
    return false;
}

bool DocumentBase::DoSave(const QString& path, bool replace)
{
    if (!CanSave())
        return false;
    QString target = path;
    if (target.isEmpty()) {
        if (!m_prompts)
            return false;
        const QString suggested = !m_pathName.isEmpty() ? m_pathName
                                  : !m_title.isEmpty()  ? m_title + m_extension
                                                        : DefaultTitle + m_extension;
        target = m_prompts->AskSavePath(suggested, m_filter, m_extension);
        if (target.isEmpty())
            return false;
    }
    if (!OnSaveDocument(target))
        return false;
    if (replace)
        SetPathName(target);
    if (m_recent)
        m_recent->Add(target);
    return true;
}

bool DocumentBase::DoFileSave()
{
    const QFileInfo file(m_pathName);
    const bool readOnly = file.exists() && !file.isWritable();
    return DoSave(m_pathName.isEmpty() || readOnly ? QString() : m_pathName);
}

bool DocumentBase::OpenDocumentFile(const QString& path)
{
    if (!SaveModified())
        return false;
    // What the person is told comes once the window shows the outcome: the project under its own
    // name, or the new project that takes the place of contents a failed read emptied.
    QString report;
    const OpenOutcome outcome = ReadDocument(path, report);
    switch (outcome) {
    case OpenOutcome::Opened:
        SetPathName(path);
        if (m_recent)
            m_recent->Add(path);
        break;
    case OpenOutcome::Emptied:
        NewDocument();  // the document's contents are gone: a new project takes their place
        break;
    case OpenOutcome::Untouched:
        break;
    }
    if (outcome != OpenOutcome::Opened && m_recent)
        m_recent->Remove(path);
    if (!report.isEmpty())
        Report(report);
    return outcome == OpenOutcome::Opened;
}

bool DocumentBase::FileNew()
{
    return SaveModified() && NewDocument();
}

} // namespace platform
