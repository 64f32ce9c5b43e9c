// Files the program replaces as a whole (the project, the settings file) on a disk that fills up while
// they are written: the old file must stay as it was, and the failure must be answered.
#include "platform/Archive.h"
#include "platform/ArchiveWriter.h"
#include "platform/DocumentBase.h"
#include "platform/IniFile.h"
#include "platform/RegistryStore.h"
#include "support/ScopedFileSizeLimit.h"
#include "support/TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {

// A document whose contents are a few hundred bytes: all of them stay in the file's write buffer
// until the last flush.
class SmallDocument final : public platform::DocumentBase {
public:
    void Serialize(platform::Archive& archive) override
    {
        if (archive.IsStoring())
            archive.Writer().WriteBytes(QByteArray(300, 'n'));
    }
};

struct Replacement {
    const char* name;
    std::function<bool(const QString& path)> write;
};

// RegressionAFullDiskNoLongerTruncatesAReplacedFile: the last flush of the save file's buffer failed
// unnoticed, and the cut-short temporary file was renamed over the old one as a success.
TEST(SaveFileCommitTest, RegressionAFullDiskNoLongerTruncatesAReplacedFile)
{
    const Replacement replacements[] = {
        {"the project", [](const QString& path) { return SmallDocument().OnSaveDocument(path); }},
        {"the settings file",
         [](const QString& path) { return platform::IniFile(path).WriteString("System", "Key", QString(300, 'v')); }},
        {"the registry",
         [](const QString& path) {
             return platform::RegistryStore(path).WriteString(platform::RegistryStore::Root::CurrentUser, "Software",
                                                              "Key", QString(300, 'v'));
         }},
    };
    for (const Replacement& r : replacements) {
        SCOPED_TRACE(r.name);
        QTemporaryDir folder;
        const QString path = folder.filePath("file");
        WriteFile(path, "[Old]\nkey=the old contents\n");
        bool written = true;
        {
            const ScopedFileSizeLimit fullDisk(16);
            written = r.write(path);
        }
        EXPECT_FALSE(written);
        EXPECT_EQ(ReadFile(path), QByteArray("[Old]\nkey=the old contents\n"));
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"file"});
        // With room on the disk the same write replaces the file.
        EXPECT_TRUE(r.write(path));
        EXPECT_GE(ReadFile(path).size(), 300);
    }
}

} // namespace
