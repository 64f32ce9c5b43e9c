#include "platform/ResourceTable.h"
#include "platform/Resources.h"
#include "tools/artgen/ArtGenerator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using platform::PictureResource;
using platform::ResourceTable;

// Same program, same bytes; and the program carries what the generator draws now.
TEST(ArtGeneratorTest, DrawsTheSameBytesThatTheProgramCarries)
{
    for (const PictureResource& picture : ResourceTable::Pictures()) {
        SCOPED_TRACE(qPrintable(ResourceTable::FileName(picture)));
        const QByteArray first = ArtGenerator::Encode(picture);
        ASSERT_FALSE(first.isEmpty());
        EXPECT_EQ(ArtGenerator::Encode(picture), first);
        EXPECT_EQ(platform::Resources::Bytes(picture.type, picture.id, picture.size), first);
    }
}

TEST(ArtGeneratorTest, WritesEveryPictureAndTheirCollection)
{
    QTemporaryDir folder;
    ArtGenerator generator;
    ASSERT_TRUE(generator.Run(folder.path())) << qPrintable(generator.ErrorText());
    QFile collection(QDir(folder.path()).filePath(QString::fromLatin1(ArtGenerator::CollectionFileName)));
    ASSERT_TRUE(collection.open(QIODevice::ReadOnly));
    const QByteArray text = collection.readAll();
    EXPECT_TRUE(text.contains("<qresource prefix=\"/art\">"));
    for (const PictureResource& picture : ResourceTable::Pictures()) {
        const QString name = ResourceTable::FileName(picture);
        EXPECT_TRUE(text.contains("<file>" + name.toUtf8() + "</file>")) << qPrintable(name);
        EXPECT_TRUE(QFile::exists(QDir(folder.path()).filePath(name))) << qPrintable(name);
    }
}

} // namespace
