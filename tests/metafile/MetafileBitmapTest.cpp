#include "DibBuilder.h"
#include "EmfWriter.h"
#include "PixelCompare.h"
#include "RenderHelpers.h"

#include <QBuffer>
#include <QImage>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

constexpr U_RECTL kNoBounds{0, 0, 0, 0};
constexpr uint32_t kNoop = 0x00AA0029;
const QRgb kGreen = qRgb(0, 255, 0);
const QRgb kYellow = qRgb(255, 255, 0);

// Eight colours that every pixel format holds exactly, as a 4 x 2 picture: colour i at column i % 4,
// row i / 4.
const std::vector<QRgb> kColours = {kRed, kGreen, kBlue, kWhite, kBlack, kYellow, qRgb(0, 255, 255), qRgb(255, 0, 255)};

uint32_t Bgr(QRgb c) { return uint32_t(qRed(c)) << 16 | uint32_t(qGreen(c)) << 8 | uint32_t(qBlue(c)); }
uint32_t Rgb555(QRgb c) { return uint32_t(qRed(c) >> 3) << 10 | uint32_t(qGreen(c) >> 3) << 5 | uint32_t(qBlue(c) >> 3); }
uint32_t Rgb565(QRgb c) { return uint32_t(qRed(c) >> 3) << 11 | uint32_t(qGreen(c) >> 2) << 5 | uint32_t(qBlue(c) >> 3); }
// Red in the low byte: only bit-field masks read this right.
uint32_t Xbgr(QRgb c) { return uint32_t(qBlue(c)) << 16 | uint32_t(qGreen(c)) << 8 | uint32_t(qRed(c)); }

// The grid of kColours' indices (reduced to two colours for one-bit bitmaps) as pixel values.
std::vector<std::vector<uint32_t>> Grid(uint32_t (*value)(int index))
{
    std::vector<std::vector<uint32_t>> rows(2);
    for (int i = 0; i < 8; ++i)
        rows[size_t(i / 4)].push_back(value(i));
    return rows;
}

std::vector<uint32_t> Palette(int count)
{
    std::vector<uint32_t> table;
    for (int i = 0; i < count; ++i)
        table.push_back(Bgr(kColours[size_t(i)]));
    return table;
}

QByteArray StretchedOnto40x20(DibBuilder& dib)
{
    EmfWriter emf(40, 20);
    emf.Add(StretchDibits(dib, 0, 0, 40, 20));
    return emf.Finish();
}

// Each bitmap pixel covers a 10 x 10 block: its centre must have the pixel's colour.
testing::AssertionResult BlocksAre(const QImage& image, const std::vector<QRgb>& expected)
{
    for (size_t i = 0; i < expected.size(); ++i) {
        const QPoint centre(int(i % 4) * 10 + 5, int(i / 4) * 10 + 5);
        if (image.pixel(centre) != expected[i])
            return testing::AssertionFailure() << "block " << i << " is " << std::hex << image.pixel(centre)
                                               << ", not " << expected[i];
    }
    return testing::AssertionSuccess();
}

// --- Pixel formats ---------------------------------------------------------------------------

struct FormatCase {
    const char* name;
    int bitCount;
    uint32_t compression;
    bool topDown;
};

class MetafileBitmapFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(MetafileBitmapFormatTest, EveryPixelHasItsColour)
{
    const FormatCase& c = GetParam();
    std::vector<uint32_t> extra;
    uint32_t (*value)(int) = nullptr;
    std::vector<QRgb> expected = kColours;
    switch (c.bitCount) {
    case 1:
        extra = Palette(2);
        value = [](int i) { return uint32_t(i % 2); };
        for (size_t i = 0; i < expected.size(); ++i)
            expected[i] = kColours[i % 2];
        break;
    case 4: case 8: extra = Palette(8); value = [](int i) { return uint32_t(i); }; break;
    case 16:
        if (c.compression == U_BI_BITFIELDS) {
            extra = {0xF800, 0x07E0, 0x001F};
            value = [](int i) { return Rgb565(kColours[size_t(i)]); };
        } else {
            value = [](int i) { return Rgb555(kColours[size_t(i)]); };
        }
        break;
    case 24: value = [](int i) { return Bgr(kColours[size_t(i)]); }; break;
    default:
        if (c.compression == U_BI_BITFIELDS) {
            extra = {0x0000FF, 0x00FF00, 0xFF0000};
            value = [](int i) { return Xbgr(kColours[size_t(i)]); };
        } else {
            // The fourth byte is not alpha for a plain stretch.
            value = [](int i) { return Bgr(kColours[size_t(i)]) | 0x12000000; };
        }
        break;
    }
    DibBuilder dib(4, c.topDown ? -2 : 2, c.bitCount, c.compression, extra);
    dib.Pixels(Grid(value));
    EXPECT_TRUE(BlocksAre(Render(StretchedOnto40x20(dib), {40, 20}), expected));
}

INSTANTIATE_TEST_SUITE_P(, MetafileBitmapFormatTest,
                         testing::Values(FormatCase{"Mono", 1, U_BI_RGB, false}, FormatCase{"MonoTopDown", 1, U_BI_RGB, true},
                                         FormatCase{"Four", 4, U_BI_RGB, false}, FormatCase{"Eight", 8, U_BI_RGB, false},
                                         FormatCase{"EightTopDown", 8, U_BI_RGB, true},
                                         FormatCase{"Sixteen555", 16, U_BI_RGB, false},
                                         FormatCase{"Sixteen565", 16, U_BI_BITFIELDS, true},
                                         FormatCase{"TwentyFour", 24, U_BI_RGB, false},
                                         FormatCase{"TwentyFourTopDown", 24, U_BI_RGB, true},
                                         FormatCase{"ThirtyTwo", 32, U_BI_RGB, false},
                                         FormatCase{"ThirtyTwoBitFields", 32, U_BI_BITFIELDS, false}),
                         [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

} // namespace
