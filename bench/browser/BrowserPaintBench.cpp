// Painting one page of the scene browser showing 20 thumbnails (with the note, titles, captions and the
// chosen frame) against drawing the same 20 pictures with bare QPainter calls into a picture of the same
// size, once alone and once with a white fill and the 20 captions as the browser draws them. The bare
// calls draw the pictures as decoded (24 bits, argument 24) and as the browser holds them (32 bits
// without alpha, argument 32): QPainter converts a 24-bit picture again at every draw.

#include "engine/base/AppPaths.h"
#include "engine/base/Scramble.h"
#include "engine/document/Document.h"
#include "engine/layers/ImageReference.h"
#include "library/browser/BrowserLayout.h"
#include "library/browser/SceneTree.h"

#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

using namespace browser_layout;

namespace {

constexpr int Thumbnails = 20;
constexpr int ThumbnailWidth = 130;  // the generated library's proportions: 4 : 3 in 130 x 100
constexpr int ThumbnailHeight = 97;
constexpr int ColumnWidth = 225;

// The scene browser opens category 2 and its first subcategory: that one holds the 20 items, whose
// thumbnails are in the cache already, so they load without a queue.
struct Fixture {
    QTemporaryDir folder;
    AppPaths paths{folder.filePath("program"), QStringList{folder.filePath("data")}};
    AppPaths* savedPaths = g_paths;
    std::unique_ptr<Document> document;
    std::unique_ptr<SceneTree> view;
    std::vector<std::unique_ptr<ImageReference>> pictures;  // the same files, decoded the same way
    std::vector<QString> captions;
    QSize page;

    Fixture()
    {
        g_paths = &paths;
        QByteArray text = "<CAT People><SUB Photos><1 \"http://127.0.0.1:8468/Scenes/1.jpg\" 0 0 512 512>"
                          "<CAT Animals><SUB Cats><2 \"http://127.0.0.1:8468/Scenes/2.jpg\" 0 0 512 512>"
                          "<CAT Scenes><SUB Many>";
        for (int n = 101; n < 101 + Thumbnails; ++n) {
            text += "<" + QByteArray::number(n) + " \"http://127.0.0.1:8468/Scenes/" + QByteArray::number(n) +
                    ".jpg\" 0 0 1024 768>";
            QImage thumbnail(ThumbnailWidth, ThumbnailHeight, QImage::Format_RGB32);
            for (int y = 0; y < ThumbnailHeight; ++y)
                for (int x = 0; x < ThumbnailWidth; ++x)
                    thumbnail.setPixel(x, y, qRgb((x * 2 + n) & 0xFF, (y * 3) & 0xFF, (x + y + n * 7) & 0xFF));
            const QString path = paths.cacheFolder + QStringLiteral("Thumbs/%1.jpg").arg(n);
            thumbnail.save(path, "JPEG", 88);
            pictures.push_back(std::make_unique<ImageReference>());
            pictures.back()->Load(path, false);
            captions.push_back(QStringLiteral("127.0.0.1:8468/Scenes/%1.jpg").arg(n));
        }
        ScrambleBuffer(reinterpret_cast<uint8_t*>(text.data()), text.size());
        QFile index(paths.cacheFolder + QStringLiteral("EncList.txt"));
        index.open(QIODevice::WriteOnly);
        index.write(text);
        index.close();

        document = std::make_unique<Document>();
        document->step = 15;
        view = std::make_unique<SceneTree>(*document);
        // Tall enough for every row: the band, the note, 3 categories, 1 subcategory, 20 thumbnails.
        const TreeRows& rows = view->Rows();
        page = QSize(ColumnWidth, ButtonBandHeight + rows.RowTop(rows.TotalRows()));
        view->resize(page);
        view->OnTimer();  // loads the 20 thumbnails from the cache
    }
    ~Fixture()
    {
        view.reset();
        document.reset();
        g_paths = savedPaths;
    }

    int ThumbnailTop(int j) const
    {
        return ButtonBandHeight + view->Rows().RowTop(view->Rows().Range().firstThumbnailRow + j);
    }
    QImage Picture(int j, int bits) const
    {
        const QImage& decoded = *pictures[static_cast<size_t>(j)]->Picture();
        return bits == 24 ? decoded : decoded.convertToFormat(QImage::Format_RGB32);
    }
};

QImage Target(const QSize& size)
{
    return QImage(size, QImage::Format_ARGB32_Premultiplied);
}

void BM_BrowserPage(benchmark::State& state)
{
    Fixture fixture;
    QImage target = Target(fixture.view->viewport()->size());
    for (auto _ : state) {
        // The viewport's own paint event, without its load button.
        fixture.view->viewport()->render(&target, QPoint(), QRegion(), QWidget::RenderFlags());
        benchmark::DoNotOptimize(target.constBits());
    }
    state.counters["thumbnails"] = fixture.view->Rows().Range().thumbnailCount;
    state.counters["height"] = fixture.view->viewport()->height();
}

std::vector<QImage> Pictures(const Fixture& fixture, int bits)
{
    std::vector<QImage> pictures;
    for (int j = 0; j < Thumbnails; ++j)
        pictures.push_back(fixture.Picture(j, bits));
    return pictures;
}

void BM_BarePictures(benchmark::State& state)
{
    Fixture fixture;
    const std::vector<QImage> pictures = Pictures(fixture, static_cast<int>(state.range(0)));
    QImage target = Target(fixture.view->viewport()->size());
    for (auto _ : state) {
        QPainter painter(&target);
        for (int j = 0; j < Thumbnails; ++j)
            painter.drawImage(ThumbnailX, fixture.ThumbnailTop(j), pictures[static_cast<size_t>(j)]);
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_BarePicturesFillAndCaptions(benchmark::State& state)
{
    Fixture fixture;
    const std::vector<QImage> pictures = Pictures(fixture, static_cast<int>(state.range(0)));
    QImage target = Target(fixture.view->viewport()->size());
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(SmallFontPixels);
    for (auto _ : state) {
        QPainter painter(&target);
        painter.fillRect(target.rect(), Qt::white);
        painter.setFont(font);
        painter.setPen(NoteColour);
        for (int j = 0; j < Thumbnails; ++j) {
            const int y = fixture.ThumbnailTop(j);
            painter.drawImage(ThumbnailX, y, pictures[static_cast<size_t>(j)]);
            const QRect caption(ThumbnailX, y + CellHeight, ColumnWidth - ThumbnailX, CaptionBottom - CellHeight);
            painter.drawText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                             fixture.captions[static_cast<size_t>(j)]);
        }
        painter.end();
        benchmark::DoNotOptimize(target.constBits());
    }
}

BENCHMARK(BM_BrowserPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BarePictures)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_BarePicturesFillAndCaptions)->Arg(24)->Arg(32)->Unit(benchmark::kMicrosecond);

} // namespace
