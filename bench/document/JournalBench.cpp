#include "engine/document/Document.h"
#include "engine/layers/Image.h"
#include "engine/layers/Layer.h"

#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

constexpr int32_t FaceWidth = 1024;
constexpr int32_t FaceHeight = 768;

// A document whose one layer, selected, is a face picture of the given size loaded from a file.
class FaceDocument {
public:
    // Without a size, the layer's file is missing and the layer has no picture.
    FaceDocument(int32_t width = 0, int32_t height = 0)
    {
        const QString path = m_folder.filePath(QStringLiteral("face.png"));
        if (width > 0)
            WritePicture(path, width, height);
        document.InsertLayer(LayerKindOwnFile, 0, 0, path, QString(), 0, Rect{});
        document.selectedIndex = 0;
        face = document.layers.GetAt(0);
    }

    static void WritePicture(const QString& path, int32_t width, int32_t height)
    {
        QImage picture(width, height, QImage::Format_RGB888);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                picture.setPixel(x, y, qRgb(x & 0xFF, y & 0xFF, (x + y) & 0xFF));
        picture.save(path);
    }

    // One brush stroke over the square at (x, y): the layer journals its mask change.
    void Stroke(int32_t x, int32_t y, int32_t side, uint8_t alpha)
    {
        const Rect r{x, y, x + side - 1, y + side - 1};
        face->BeginEdit();
        face->AddDirty(r);
        m_mask.assign(static_cast<size_t>(side) * side, alpha);
        face->GetImage()->ApplyMask(m_mask.data(), side, x, y, 0, 0, side, side);
        face->EndEdit(document.journal, 0);
    }

    Document document;
    Layer* face = nullptr;

private:
    QTemporaryDir m_folder;
    std::vector<uint8_t> m_mask;
};

void ReportJournal(benchmark::State& state, const Journal& journal, int64_t records)
{
    state.counters["journal_bytes"] = journal.GetEnd();
    state.counters["capacity_bytes"] = journal.GetCapacity();
    state.counters["bytes_per_record"] = static_cast<double>(journal.GetEnd()) / static_cast<double>(records);
}

// Appending 10,000 move records (a long drag), and undoing them one by one.
void BM_AppendMoves(benchmark::State& state)
{
    FaceDocument doc;
    const int64_t records = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        doc.document.journal.Reset();
        state.ResumeTiming();
        for (int64_t i = 0; i < records; ++i)
            doc.document.journal.AddMove(1.0f, 0.5f);
    }
    state.SetItemsProcessed(state.iterations() * records);
    ReportJournal(state, doc.document.journal, records);
}
BENCHMARK(BM_AppendMoves)->Arg(10000)->Unit(benchmark::kMicrosecond);

// The same appends into a buffer that has already grown (after undoing everything): the records' own cost,
// without the doubling and the first touch of fresh memory.
void BM_AppendMovesAfterUndo(benchmark::State& state)
{
    FaceDocument doc;
    const int64_t records = state.range(0);
    for (int64_t i = 0; i < records; ++i)
        doc.document.journal.AddMove(1.0f, 0.5f);
    for (auto _ : state) {
        state.PauseTiming();
        while (doc.document.journal.CanUndo())
            doc.document.journal.Undo();
        state.ResumeTiming();
        for (int64_t i = 0; i < records; ++i)
            doc.document.journal.AddMove(1.0f, 0.5f);
    }
    state.SetItemsProcessed(state.iterations() * records);
    ReportJournal(state, doc.document.journal, records);
}
BENCHMARK(BM_AppendMovesAfterUndo)->Arg(10000)->Unit(benchmark::kMicrosecond);

void BM_UndoMoves(benchmark::State& state)
{
    FaceDocument doc;
    const int64_t records = state.range(0);
    for (auto _ : state) {
        state.PauseTiming();
        doc.document.journal.Reset();
        for (int64_t i = 0; i < records; ++i)
            doc.document.journal.AddMove(1.0f, 0.5f);
        state.ResumeTiming();
        for (int64_t i = 0; i < records; ++i)
            doc.document.journal.Undo();
    }
    state.SetItemsProcessed(state.iterations() * records);
    ReportJournal(state, doc.document.journal, records);
}
BENCHMARK(BM_UndoMoves)->Arg(10000)->Unit(benchmark::kMicrosecond);

// 200 strokes of 256 x 256 on a 1024 x 768 face: the brush's end of stroke (XOR into the edit buffer and
// the record), and their undo.
void BM_AppendMaskStrokes(benchmark::State& state)
{
    FaceDocument doc(FaceWidth, FaceHeight);
    const int64_t records = state.range(0);
    const int32_t side = static_cast<int32_t>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        doc.document.journal.Reset();
        state.ResumeTiming();
        for (int64_t i = 0; i < records; ++i)
            doc.Stroke(static_cast<int32_t>(i * 37 % (FaceWidth - side)), static_cast<int32_t>(i * 53 % (FaceHeight - side)),
                       side, static_cast<uint8_t>(i));
    }
    state.SetItemsProcessed(state.iterations() * records);
    ReportJournal(state, doc.document.journal, records);
}
BENCHMARK(BM_AppendMaskStrokes)->Args({200, 256})->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_UndoMaskStrokes(benchmark::State& state)
{
    const int64_t records = state.range(0);
    const int32_t side = static_cast<int32_t>(state.range(1));
    const int32_t width = static_cast<int32_t>(state.range(2));
    const int32_t height = width * 3 / 4;
    FaceDocument doc(width, height);
    for (auto _ : state) {
        state.PauseTiming();
        doc.document.journal.Reset();
        for (int64_t i = 0; i < records; ++i)
            doc.Stroke(static_cast<int32_t>(i * 37 % (width - side)), static_cast<int32_t>(i * 53 % (height - side)), side,
                       static_cast<uint8_t>(i));
        state.ResumeTiming();
        for (int64_t i = 0; i < records; ++i)
            doc.document.journal.Undo();
    }
    state.SetItemsProcessed(state.iterations() * records);
    state.counters["stroke_pixels"] = static_cast<double>(side) * side;
    ReportJournal(state, doc.document.journal, records);
}
// The stroke's side grows, then the picture: the cost follows the stroke, not the picture.
BENCHMARK(BM_UndoMaskStrokes)
    ->Args({200, 256, FaceWidth})
    ->Args({200, 64, FaceWidth})
    ->Args({200, 16, FaceWidth})
    ->Args({200, 64, 2 * FaceWidth})
    ->Args({200, 16, 2 * FaceWidth})
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime();

} // namespace
