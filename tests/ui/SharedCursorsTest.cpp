#include "engine/view/CursorClientPos.h"
#include "engine/view/SharedCursors.h"

#include <QApplication>
#include <QCursor>
#include <QPixmap>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <set>
#include <utility>
#include <vector>

namespace {

using Picture = platform::Resources::CursorPicture;

// Cursor pictures whose first pixel tells which id they are, missing at the sizes listed.
SharedCursors::Lookup FakeLookup(std::set<std::pair<int32_t, int32_t>> missing = {})
{
    return [missing](int32_t id, int32_t size) -> std::optional<Picture> {
        if (missing.count({id, size}))
            return std::nullopt;
        QImage image(size, size, QImage::Format_ARGB32);
        image.fill(qRgb(id - 100, 0, 0));
        return Picture{image, QPoint(size / 2, size / 3)};
    };
}

int IdOf(const QCursor& cursor)
{
    return qRed(cursor.pixmap().toImage().pixel(0, 0)) + 100;
}

TEST(SharedCursorsTest, ResizeCursorFollowsTheEdgesAngle)
{
    const std::pair<Angle, int> cases[] = {
        {0, 0},    {2048, 0}, {32768, 0}, {34816, 0}, {2049, 1},  {6144, 1},
        {30720, 7}, {30721, 0}, {65535, 0}, {16384, 4}, {49152, 4}, {63488, 7},
    };
    SharedCursors cursors;
    cursors.LoadCursors(FakeLookup());
    const int ids[] = {131, 142, 133, 143, 135, 144, 137, 141};
    for (const auto& [angle, index] : cases) {
        EXPECT_EQ(SharedCursors::ResizeCursorIndex(angle), index) << angle;
        EXPECT_EQ(IdOf(cursors.GetResizeCursor(angle)), ids[index]) << angle;
    }
}

TEST(SharedCursorsTest, LoadsEveryCursorInItsPlace)
{
    SharedCursors cursors;
    EXPECT_FALSE(cursors.Loaded());
    cursors.LoadCursors(FakeLookup());
    EXPECT_TRUE(cursors.Loaded());
    EXPECT_EQ(IdOf(cursors.m_moveCursor), 130);
    EXPECT_EQ(IdOf(cursors.m_rotateCursor), 145);
    EXPECT_EQ(cursors.m_crossCursor.shape(), Qt::CrossCursor);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(IdOf(cursors.m_paintCursors[i]), 146);
        EXPECT_EQ(IdOf(cursors.m_eraseCursors[i]), 147);
    }
    EXPECT_EQ(cursors.m_paintCursor.pixmap().width(), 32);
    EXPECT_EQ(cursors.m_eraseCursor.pixmap().width(), 32);
    EXPECT_EQ(cursors.m_moveCursor.hotSpot(), QPoint(16, 10));
}

TEST(SharedCursorsTest, AMissingPictureFallsBackToSmallerSizesThenTheDefault)
{
    SharedCursors cursors;
    cursors.LoadCursors(FakeLookup({{146, 48}, {147, 48}, {147, 32}, {130, 32}, {130, 16}}));
    EXPECT_EQ(cursors.m_paintCursors[2].pixmap().width(), 32);  // 48 missing: the 32-pixel one
    EXPECT_EQ(cursors.m_eraseCursors[2].pixmap().width(), 16);  // 48 and 32 missing
    EXPECT_EQ(cursors.m_eraseCursors[1].pixmap().width(), 16);
    EXPECT_EQ(IdOf(cursors.m_eraseCursors[2]), 147);
    EXPECT_EQ(cursors.m_moveCursor.shape(), Qt::ArrowCursor);   // nothing at all: the default cursor
}

// Every cursor of the program's own is a picture of its size whose hot spot is its middle; the eight
// resize arrows all differ.
TEST(SharedCursorsTest, LoadsTheProgramsOwnCursors)
{
    SharedCursors cursors;
    cursors.LoadCursors();
    std::vector<std::pair<const QCursor*, int>> sized{{&cursors.m_moveCursor, 32}, {&cursors.m_rotateCursor, 32}};
    for (int i = 0; i < 3; ++i) {
        sized.push_back({&cursors.m_paintCursors[i], SharedCursors::BrushSizes[i]});
        sized.push_back({&cursors.m_eraseCursors[i], SharedCursors::BrushSizes[i]});
    }
    for (const QCursor& resize : cursors.m_resizeCursors)
        sized.push_back({&resize, 32});
    for (const auto& [cursor, size] : sized) {
        EXPECT_EQ(cursor->shape(), Qt::BitmapCursor);
        EXPECT_EQ(cursor->pixmap().size(), QSize(size, size));
        EXPECT_EQ(cursor->hotSpot(), QPoint(size / 2, size / 2));
    }
    for (size_t i = 0; i < cursors.m_resizeCursors.size(); ++i) {
        for (size_t j = i + 1; j < cursors.m_resizeCursors.size(); ++j)
            EXPECT_NE(cursors.m_resizeCursors[i].pixmap().toImage(), cursors.m_resizeCursors[j].pixmap().toImage());
    }
}

TEST(SharedCursorsTest, CursorClientPosIsTheMouseInTheWindowsCoordinates)
{
    QWidget window;
    window.setGeometry(120, 90, 300, 200);
    auto* view = new QWidget(&window);
    view->setGeometry(20, 30, 200, 100);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCursor::setPos(view->mapToGlobal(QPoint(37, 21)));
    EXPECT_EQ(GetCursorClientPos(*view), (PointF{37.0f, 21.0f}));
    EXPECT_EQ(GetCursorClientPos(window), (PointF{57.0f, 51.0f}));
}

} // namespace
