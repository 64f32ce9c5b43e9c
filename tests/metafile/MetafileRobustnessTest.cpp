#include "platform/metafile/Metafile.h"
#include "support/TestFiles.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>
#include <random>

using platform::Metafile;

namespace {

constexpr int kFlipTrials = 800;
constexpr unsigned kSeed = 20240611;
constexpr QSize kPictureSize(64, 48);

// Plays a metafile that loaded into a small picture, the way the bubble layer does.
void PlayIntoSmallPicture(const Metafile& metafile)
{
    QImage image(kPictureSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const Rect bounds = metafile.Bounds();
    painter.scale(double(kPictureSize.width()) / std::max(1, bounds.right - bounds.left),
                  double(kPictureSize.height()) / std::max(1, bounds.bottom - bounds.top));
    metafile.Play(painter, QRectF(0, 0, bounds.right - bounds.left - 1, bounds.bottom - bounds.top - 1));
}

class MetafileRobustnessTest : public testing::TestWithParam<const char*> {};

// A metafile cut anywhere has lost its end-of-file record or its byte count is past the end.
TEST_P(MetafileRobustnessTest, EveryTruncationFailsToLoad)
{
    const QByteArray whole = ReadDataFile(QString(GetParam()) + ".emf");
    ASSERT_FALSE(whole.isEmpty());
    ASSERT_TRUE(Metafile::FromBytes(whole));
    for (qsizetype length = 0; length < whole.size(); ++length)
        EXPECT_FALSE(Metafile::FromBytes(whole.left(length))) << "cut at " << length;
}

// Random bytes changed anywhere: the file loads or it does not, and what loads plays; run under
// the address and undefined-behaviour sanitizers this is where a read past a record shows up.
TEST_P(MetafileRobustnessTest, RandomByteChangesLoadOrFailAndPlay)
{
    const QByteArray whole = ReadDataFile(QString(GetParam()) + ".emf");
    ASSERT_FALSE(whole.isEmpty());
    std::mt19937 random(kSeed);
    std::uniform_int_distribution<qsizetype> position(0, whole.size() - 1);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> changes(1, 4);
    int loaded = 0;
    for (int trial = 0; trial < kFlipTrials; ++trial) {
        QByteArray bytes = whole;
        for (int i = changes(random); i > 0; --i)
            bytes[position(random)] = char(byte(random));
        if (const auto metafile = Metafile::FromBytes(bytes)) {
            ++loaded;
            PlayIntoSmallPicture(*metafile);
        }
    }
    // Most changes land in coordinates and colours, which stay loadable; some hit sizes and counts.
    EXPECT_GT(loaded, 0);
    EXPECT_LT(loaded, kFlipTrials);
}

INSTANTIATE_TEST_SUITE_P(Bubbles, MetafileRobustnessTest, testing::Values("oval", "cloud", "shout"),
                         [](const testing::TestParamInfo<const char*>& info) { return std::string(info.param); });

} // namespace
