// Opens every input as a project file through the document's open procedure, writes the result back
// and reads that again: no input may crash, leak, or reach undefined behaviour, and whatever opened
// must save and reopen.
#include "engine/base/Angle.h"
#include "engine/base/AppPaths.h"
#include "engine/document/Document.h"
#include "platform/Archive.h"
#include "platform/ArchiveReader.h"
#include "platform/ArchiveWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdlib>

namespace {

// Decoded pictures are kept small, so that a claimed size costs little time.
constexpr int PictureLimitMegabytes = 16;

// The content that the seed projects name is in the cache, so that records that load it reach the
// picture and bubble loaders too.
void FillCache(const QString& cache)
{
    QDir().mkpath(cache + "/Bubbles");
    QDir().mkpath(cache + "/Accessories");
    QFile::copy(SMG_FUZZ_BUBBLE, cache + "/Bubbles/3.emf");
    QImage accessory(6, 4, QImage::Format_ARGB32);
    accessory.fill(qRgba(200, 40, 40, 128));
    accessory.save(cache + "/Accessories/12.png", "PNG");
}

struct Fixture {
    Fixture() { FillCache(paths.cacheFolder); }

    QTemporaryDir folder;
    AppPaths paths{folder.filePath("program"), QStringList{folder.filePath("data")}};
    QString input = folder.filePath("input.smg");
    Document document;
};

Fixture* g_fixture = nullptr;

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    InitTrigTables();
    QImageReader::setAllocationLimit(PictureLimitMegabytes);
    static Fixture fixture;
    g_paths = &fixture.paths;
    g_fixture = &fixture;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Fixture& f = *g_fixture;
    {
        QFile file(f.input);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            std::abort();
        file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    }
    f.document.SetModifiedFlag(false);
    if (!f.document.OpenDocumentFile(f.input) || !f.document.scene)
        return 0;

    // What opened is written again and read back.
    QBuffer stored;
    stored.open(QIODevice::WriteOnly);
    platform::ArchiveWriter writer(stored);
    platform::Archive out(writer);
    f.document.Serialize(out);
    stored.close();
    f.document.DeleteContents();
    stored.open(QIODevice::ReadOnly);
    platform::ArchiveReader reader(stored);
    platform::Archive in(reader);
    f.document.Serialize(in);
    return 0;
}
