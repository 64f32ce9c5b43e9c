#include "DocumentFixture.h"

#include "engine/layers/LayerImage.h"
#include "engine/layers/LayerText.h"
#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

namespace {

QImage TestPicture(int width, int height)
{
    QImage picture(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.setPixel(x, y, qRgb((x * 7) & 0xFF, (y * 31) & 0xFF, (x + y) & 0xFF));
    return picture;
}

} // namespace

void WritePicture(const QString& path, int width, int height)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    ASSERT_TRUE(TestPicture(width, height).save(path));
}

void WriteScrambledPicture(const QString& path, int width, int height)
{
    WriteFile(path, Scrambled(PngBytes(TestPicture(width, height))));
}

QString Describe(const Document& document)
{
    QStringList out;
    auto layerText = [](const Layer& l) {
        return QStringLiteral("%1 flags=%2 tag=%3 #%4 kind=%5 path=%6 pos=%7,%8 scale=%9,%10 crop=%11,%12,%13,%14 "
                              "angle=%15 rgb=%16,%17,%18 c=%19 b=%20 text=%21")
            .arg(l.name)
            .arg(l.flags)
            .arg(l.tag)
            .arg(l.number)
            .arg(l.kind)
            .arg(l.path)
            .arg(l.position.x)
            .arg(l.position.y)
            .arg(l.scale.x)
            .arg(l.scale.y)
            .arg(l.cropTopLeft.x)
            .arg(l.cropTopLeft.y)
            .arg(l.cropBottomRight.x)
            .arg(l.cropBottomRight.y)
            .arg(l.angle)
            .arg(l.redGamma)
            .arg(l.greenGamma)
            .arg(l.blueGamma)
            .arg(l.contrast)
            .arg(l.brightness)
            .arg(l.GetText());
    };
    out << QStringLiteral("step=%1 selected=%2 view=%3 tool=%4")
               .arg(document.step)
               .arg(document.selectedIndex)
               .arg(document.viewMode)
               .arg(document.tool);
    out << (document.scene ? QStringLiteral("scene ") + layerText(*document.scene) : QStringLiteral("no scene"));
    for (const Node* node = document.layers.next; node != &document.layers; node = node->next)
        out << layerText(*static_cast<const Layer*>(node));
    return out.join(QLatin1Char('\n'));
}

std::vector<uint8_t> JournalBytes(const Journal& journal, int32_t offset, int32_t n)
{
    return std::vector<uint8_t>(journal.GetData() + offset, journal.GetData() + offset + n);
}

std::vector<uint8_t> LastRecord(const Journal& journal)
{
    const int32_t n = journal.RecordSize(false);
    return JournalBytes(journal, journal.GetPosition() - n, n);
}

Layer* DocumentTest::AddLayer(const QString& name, int32_t flags, int32_t kind, int32_t number, const QString& path,
                              int32_t tag)
{
    Layer* layer = nullptr;
    if (flags & LayerFlagText)
        layer = new LayerText(Rect{}, tag);
    else
        layer = new LayerImage(QString(), flags, tag);
    layer->name = name;
    layer->kind = kind;
    layer->number = number;
    layer->path = path;
    layer->LinkBefore(&document.layers);
    return layer;
}

QString DocumentTest::Picture(const QString& name)
{
    const QString path = folder.filePath(name);
    WritePicture(path, 1024, 8);
    return path;
}

QString DocumentTest::Bubble(int32_t number)
{
    const QString target = paths.Get().cacheFolder + QStringLiteral("Bubbles/%1.emf").arg(number);
    QFile::remove(target);
    EXPECT_TRUE(QFile::copy(DataFile("oval.emf"), target));
    return QStringLiteral("oval");
}
