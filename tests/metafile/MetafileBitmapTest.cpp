#include "DibBuilder.h"
#include "EmfWriter.h"
#include "PixelCompare.h"
#include "RenderHelpers.h"

#include <QBuffer>
#include <QImage>
#include <cstdlib>
#include <cstring>
#include <functional>
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

// Two pixels, red and blue.
DibBuilder RedBlue()
{
    DibBuilder dib(2, 1, 24, U_BI_RGB);
    dib.Pixels({{Bgr(kRed), Bgr(kBlue)}});
    return dib;
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
    int height; // negative: top-down
    std::vector<uint32_t> extra; // colour table or masks
    uint32_t (*value)(int index);
};

class MetafileBitmapFormatTest : public testing::TestWithParam<FormatCase> {};

TEST_P(MetafileBitmapFormatTest, EveryPixelHasItsColour)
{
    const FormatCase& c = GetParam();
    DibBuilder dib(4, c.height, c.bitCount, c.compression, c.extra);
    dib.Pixels(Grid(c.value));
    std::vector<QRgb> expected = kColours;
    for (size_t i = 0; c.bitCount == 1 && i < expected.size(); ++i)
        expected[i] = kColours[i % 2];
    EXPECT_TRUE(BlocksAre(Render(StretchedOnto40x20(dib), {40, 20}), expected));
}

uint32_t Index(int i) { return uint32_t(i); }
uint32_t Parity(int i) { return uint32_t(i % 2); }
uint32_t As555(int i) { return Rgb555(kColours[size_t(i)]); }
uint32_t As565(int i) { return Rgb565(kColours[size_t(i)]); }
uint32_t AsBgr(int i) { return Bgr(kColours[size_t(i)]); }
uint32_t AsXbgr(int i) { return Xbgr(kColours[size_t(i)]); }
// The fourth byte is not alpha for a plain stretch.
uint32_t AsBgrAndAByte(int i) { return Bgr(kColours[size_t(i)]) | 0x12000000; }

INSTANTIATE_TEST_SUITE_P(, MetafileBitmapFormatTest, testing::Values(
    FormatCase{"Mono", 1, U_BI_RGB, 2, Palette(2), Parity}, FormatCase{"MonoTopDown", 1, U_BI_RGB, -2, Palette(2), Parity},
    FormatCase{"Four", 4, U_BI_RGB, 2, Palette(8), Index}, FormatCase{"Eight", 8, U_BI_RGB, 2, Palette(8), Index},
    FormatCase{"EightTopDown", 8, U_BI_RGB, -2, Palette(8), Index}, FormatCase{"Sixteen555", 16, U_BI_RGB, 2, {}, As555},
    FormatCase{"Sixteen565", 16, U_BI_BITFIELDS, -2, {0xF800, 0x07E0, 0x001F}, As565},
    FormatCase{"TwentyFour", 24, U_BI_RGB, 2, {}, AsBgr}, FormatCase{"TwentyFourTopDown", 24, U_BI_RGB, -2, {}, AsBgr},
    FormatCase{"ThirtyTwo", 32, U_BI_RGB, 2, {}, AsBgrAndAByte},
    FormatCase{"ThirtyTwoBitFields", 32, U_BI_BITFIELDS, 2, {0x0000FF, 0x00FF00, 0xFF0000}, AsXbgr}),
    [](const testing::TestParamInfo<FormatCase>& info) { return std::string(info.param.name); });

// A file of a STRETCHDIBITS record laid out by hand around info (any header) and bits, stretching the
// whole 4 x 2 bitmap onto 40 x 20.
QByteArray RawStretchedOnto40x20(const std::vector<uint8_t>& info, const std::vector<uint8_t>& bits)
{
    const size_t infoSize = (info.size() + 3) / 4 * 4;
    const size_t size = sizeof(U_EMRSTRETCHDIBITS) + infoSize + (bits.size() + 3) / 4 * 4;
    auto* record = static_cast<char*>(calloc(1, size));
    U_EMRSTRETCHDIBITS fixed{};
    fixed.emr = U_EMR{U_EMR_STRETCHDIBITS, uint32_t(size)};
    fixed.cSrc = U_POINTL{4, 2};
    fixed.cDest = U_POINTL{40, 20};
    fixed.dwRop = U_SRCCOPY;
    fixed.iUsageSrc = U_DIB_RGB_COLORS;
    fixed.offBmiSrc = sizeof(U_EMRSTRETCHDIBITS);
    fixed.cbBmiSrc = uint32_t(info.size());
    fixed.offBitsSrc = uint32_t(sizeof(U_EMRSTRETCHDIBITS) + infoSize);
    fixed.cbBitsSrc = uint32_t(bits.size());
    std::memcpy(record, &fixed, sizeof(fixed));
    std::memcpy(record + fixed.offBmiSrc, info.data(), info.size());
    std::memcpy(record + fixed.offBitsSrc, bits.data(), bits.size());
    EmfWriter emf(40, 20);
    emf.Add(record);
    return emf.Finish();
}

template <class T>
void Append(std::vector<uint8_t>& bytes, T value)
{
    const auto* raw = reinterpret_cast<const uint8_t*>(&value);
    bytes.insert(bytes.end(), raw, raw + sizeof(value));
}

TEST(MetafileBitmapTest, CoreAndVersion5HeadersDecode)
{
    // A 12-byte core header: 16-bit width, height, planes and bit count, then blue-green-red triples.
    // Its table always has 2^bits entries.
    std::vector<uint8_t> core;
    Append(core, uint32_t(12));
    for (const uint16_t field : {4, 2, 1, 8})
        Append(core, field);
    for (const QRgb c : kColours)
        core.insert(core.end(), {uint8_t(qBlue(c)), uint8_t(qGreen(c)), uint8_t(qRed(c))});
    core.resize(12 + 256 * 3, 0);
    std::vector<uint8_t> indices = {4, 5, 6, 7, 0, 1, 2, 3}; // bottom row first
    EXPECT_TRUE(BlocksAre(Render(RawStretchedOnto40x20(core, indices), {40, 20}), kColours));

    // A 124-byte header holding its own masks (red in the low byte), top-down.
    std::vector<uint8_t> v5;
    U_BITMAPINFOHEADER header = bitmapinfoheader_set(4, -2, 1, 32, U_BI_BITFIELDS, 0, 0, 0, 0, 0);
    header.biSize = 124;
    Append(v5, header);
    for (const uint32_t mask : {0x0000FFu, 0x00FF00u, 0xFF0000u, 0u})
        Append(v5, mask);
    v5.resize(124, 0);
    std::vector<uint8_t> pixels;
    for (const QRgb c : kColours)
        Append(pixels, Xbgr(c));
    EXPECT_TRUE(BlocksAre(Render(RawStretchedOnto40x20(v5, pixels), {40, 20}), kColours));
}

// --- Run-length and embedded bitmaps ------------------------------------------------------------

// A bottom-up 4 x 2 bitmap of eight palette colours, its bits given.
DibBuilder RunLength(int bitCount, std::vector<uint8_t> bits, int width = 4, int height = 2)
{
    DibBuilder dib(width, height, bitCount, bitCount == 8 ? U_BI_RLE8 : U_BI_RLE4, Palette(8));
    dib.bits.assign(bits.begin(), bits.end());
    dib.bits.resize((dib.bits.size() + 3) / 4 * 4, 0);
    return dib;
}

// Runs and absolute stretches; pixels skipped (a delta, an early end of line or of the bitmap) leave
// the destination as it was; runs past the right edge or the top row are cut.
TEST(MetafileBitmapTest, RunLengthBitmapsDecodeRunsSkipsAndCutOverruns)
{
    struct Case { const char* name; int bitCount; std::vector<uint8_t> bits; std::vector<QRgb> expected; };
    const std::vector<Case> cases = {
        {"RLE8 runs", 8, {1, 4, 1, 5, 1, 6, 1, 7, 0, 0, 1, 0, 1, 1, 1, 2, 1, 3, 0, 1}, kColours},
        {"RLE8 absolute", 8, {0, 4, 4, 5, 6, 7, 0, 0, 0, 3, 0, 1, 2, 0, 1, 3, 0, 1}, kColours},
        {"RLE4 runs", 4, {2, 0x45, 2, 0x67, 0, 0, 2, 0x01, 2, 0x23, 0, 1}, kColours},
        {"RLE4 absolute", 4, {0, 4, 0x45, 0x67, 0, 0, 0, 3, 0x01, 0x20, 1, 0x30, 0, 1}, kColours},
        // 10 pixels in a row of 4; on the top row a step right, one blue pixel, a step beyond the top.
        {"RLE8 skips and overruns", 8, {10, 1, 0, 0, 0, 2, 1, 0, 1, 2, 0, 2, 0, 9, 200, 3, 0, 1},
         {kPaper, kBlue, kPaper, kPaper, kGreen, kGreen, kGreen, kGreen}},
    };
    for (const Case& c : cases) {
        DibBuilder dib = RunLength(c.bitCount, c.bits);
        EXPECT_TRUE(BlocksAre(Render(StretchedOnto40x20(dib), {40, 20}), c.expected)) << c.name;
    }
}

QByteArray Encoded(const QImage& image, const char* format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 100);
    return bytes;
}

DibBuilder Embedded(int width, int height, uint32_t compression, const QByteArray& file)
{
    DibBuilder dib(width, height, 0, compression);
    dib.Header().biSizeImage = uint32_t(file.size());
    dib.bits.assign(file.begin(), file.end());
    dib.bits.resize((dib.bits.size() + 3) / 4 * 4, 0);
    return dib;
}

TEST(MetafileBitmapTest, EmbeddedPngAndJpegDecodeAtTheirHeadersSize)
{
    QImage grid(4, 2, QImage::Format_RGB32);
    for (int i = 0; i < 8; ++i)
        grid.setPixel(i % 4, i / 4, kColours[size_t(i)]);
    DibBuilder png = Embedded(4, 2, U_BI_PNG, Encoded(grid, "png"));
    EXPECT_TRUE(BlocksAre(Render(StretchedOnto40x20(png), {40, 20}), kColours));

    QImage solid(16, 8, QImage::Format_RGB32);
    solid.fill(qRgb(200, 40, 40));
    DibBuilder jpeg = Embedded(16, 8, U_BI_JPEG, Encoded(solid, "jpeg"));
    const QImage image = Render(StretchedOnto40x20(jpeg), {40, 20});
    EXPECT_LE(ColourDistance(image.pixel(20, 10), qRgb(200, 40, 40)), 4);

    // A header that disagrees with the embedded picture's size is skipped.
    DibBuilder wrong = Embedded(5, 2, U_BI_PNG, Encoded(grid, "png"));
    EXPECT_TRUE(AreaIs(Render(StretchedOnto40x20(wrong), {40, 20}), QRect(), kPaper));
}

// --- Raster operations ---------------------------------------------------------------------------

const QRgb kSource = qRgb(0x0F, 0xF0, 0x55);
const QRgb kPattern = qRgb(0x33, 0x66, 0x99);

QRgb Channels(QRgb s, QRgb d, uint32_t (*op)(uint32_t s, uint32_t d))
{
    return qRgb(int(op(uint32_t(qRed(s)), uint32_t(qRed(d))) & 0xFF), int(op(uint32_t(qGreen(s)), uint32_t(qGreen(d))) & 0xFF),
                int(op(uint32_t(qBlue(s)), uint32_t(qBlue(d))) & 0xFF));
}

uint32_t Xor(uint32_t s, uint32_t d) { return s ^ d; }

U_XFORM Identity() { return Transform(1, 0, 0, 1, 0, 0); }

struct RopCase { const char* name; uint32_t rop; bool source; uint32_t (*op)(uint32_t s, uint32_t d); };
const RopCase kRasterOperations[] = {
        {"SRCCOPY", U_SRCCOPY, true, [](uint32_t s, uint32_t) { return s; }},
        {"SRCAND", U_SRCAND, true, [](uint32_t s, uint32_t d) { return s & d; }},
        {"SRCPAINT", U_SRCPAINT, true, [](uint32_t s, uint32_t d) { return s | d; }},
        {"SRCINVERT", U_SRCINVERT, true, Xor},
        {"SRCERASE", U_SRCERASE, true, [](uint32_t s, uint32_t d) { return s & ~d; }},
        {"NOTSRCCOPY", U_NOTSRCCOPY, true, [](uint32_t s, uint32_t) { return ~s; }},
        {"NOTSRCERASE", U_NOTSRCERASE, true, [](uint32_t s, uint32_t d) { return ~(s | d); }},
        {"MERGEPAINT", U_MERGEPAINT, true, [](uint32_t s, uint32_t d) { return ~s | d; }},
        {"PATCOPY", U_PATCOPY, false, [](uint32_t p, uint32_t) { return p; }},
        {"PATINVERT", U_PATINVERT, false, Xor},
        {"DSTINVERT", U_DSTINVERT, false, [](uint32_t, uint32_t d) { return ~d; }},
        {"BLACKNESS", U_BLACKNESS, false, [](uint32_t, uint32_t) { return 0u; }},
        {"WHITENESS", U_WHITENESS, false, [](uint32_t, uint32_t) { return 0xFFu; }},
        {"NOOP", kNoop, false, [](uint32_t, uint32_t d) { return d; }},
};

// A kPattern brush, then a transfer of kSource (none for operations without one) onto (2, 2) with
// operation rop.
QByteArray Transferred(uint32_t rop, bool source)
{
    EmfWriter emf(10, 10);
    emf.Select(emf.Brush(kPattern));
    // Block transfers copy as many pixels as the destination covers.
    DibBuilder dib = DibBuilder::Solid(4, 4, Bgr(kSource));
    emf.Add(U_EMRBITBLT_set(kNoBounds, U_POINTL{2, 2}, U_POINTL{4, 4}, U_POINTL{0, 0}, Identity(), U_COLORREF{},
                            U_DIB_RGB_COLORS, rop, source ? dib.Info() : nullptr, source ? dib.BitsSize() : 0,
                            source ? dib.Bits() : nullptr));
    return emf.Finish();
}

TEST(MetafileBitmapTest, RasterOperationsCombineSourcePatternAndDestination)
{
    for (const RopCase& c : kRasterOperations) {
        const QRgb expected = Channels(c.source ? kSource : kPattern, kPaper, c.op);
        EXPECT_TRUE(AreaIs(Render(Transferred(c.rop, c.source), {10, 10}), QRect(2, 2, 4, 4), expected)) << c.name;
    }
}

// A pattern fill takes the brush's hatch, its gaps in the opaque background colour. A figure drawn
// before leaves the painter in Qt's opaque background mode, under which Qt XORs a pattern inverted.
TEST(MetafileBitmapTest, RegressionPatternInvertAfterAFigureIsNotInverted)
{
    EmfWriter emf(8, 8);
    emf.Select(emf.Brush(kBlue)).Select(U_NULL_PEN);
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{7, 7, 9, 9}));
    emf.Select(emf.Brush(kGreen, U_BS_HATCHED, U_HS_HORIZONTAL));
    emf.Add(U_EMRBITBLT_set(kNoBounds, U_POINTL{0, 0}, U_POINTL{6, 6}, U_POINTL{0, 0}, Identity(), U_COLORREF{},
                            U_DIB_RGB_COLORS, U_PATINVERT, nullptr, 0, nullptr));
    const QByteArray file = emf.Finish();
    for (const int scale : {1, 4}) {
        const QImage image = Render(file, {8 * scale, 8 * scale});
        EXPECT_EQ(image.pixel(3 * scale, 4 * scale), Channels(kGreen, kPaper, Xor)) << scale; // a line
        EXPECT_EQ(image.pixel(3 * scale, 3 * scale), Channels(kWhite, kPaper, Xor)) << scale; // the background
    }
}

// Qt's raster operations mix the alpha bits too: on a picture that is not opaque, pictures drawn
// with them must leave valid pixels, as pen and brush mixes do (what they touch becomes opaque).
TEST(MetafileBitmapTest, RegressionPictureMixesOnATransparentPictureLeaveValidPixels)
{
    for (const RopCase& c : kRasterOperations) {
        const QImage image = PlayOnto(TransparentPicture({10, 10}, {{3, 3}}), Transferred(c.rop, c.source));
        EXPECT_TRUE(PixelsAreValid(image)) << c.name;
        if (c.rop == U_SRCINVERT || c.rop == U_PATINVERT) {
            EXPECT_EQ(image.pixel(2, 2), c.source ? kSource : kPattern) << c.name << " as on black";
        }
    }
}

// --- Placement ---------------------------------------------------------------------------------

TEST(MetafileBitmapTest, NegativeExtentsMirror)
{
    DibBuilder across = RedBlue();
    EmfWriter mirrored(20, 10);
    mirrored.Add(StretchDibits(across, 20, 0, -20, 10));
    EXPECT_TRUE(AreaIs(Render(mirrored.Finish(), {20, 10}), QRect(0, 0, 10, 10), kBlue, kRed));

    DibBuilder down(1, 2, 24, U_BI_RGB);
    down.Pixels({{Bgr(kRed)}, {Bgr(kBlue)}});
    EmfWriter flipped(10, 20);
    flipped.Add(StretchDibits(down, 0, 20, 10, -20));
    EXPECT_TRUE(AreaIs(Render(flipped.Finish(), {10, 20}), QRect(0, 0, 10, 10), kBlue, kRed));
}

// A picture stretched far beyond the picture under a turn: only the part in sight is drawn, and all
// of it.
TEST(MetafileBitmapTest, RegressionPictureStretchedFarUnderATurnDrawsWhatIsInSight)
{
    DibBuilder dib = DibBuilder::Solid(1, 1, Bgr(kRed));
    EmfWriter emf(20, 10);
    emf.Add(U_EMRSETWORLDTRANSFORM_set(Transform(0.866f, 0.5f, -0.5f, 0.866f, 0, 0)));
    emf.Add(StretchDibits(dib, -10000000, -10000000, 20000000, 20000000));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {20, 10}), QRect(0, 0, 20, 10), kRed));
}

TEST(MetafileBitmapTest, StretchModeHalftoneSmoothsAndTheOthersTakeTheNearestPixel)
{
    for (const uint32_t mode : {0u, uint32_t(U_COLORONCOLOR), uint32_t(U_HALFTONE)}) {
        DibBuilder dib = RedBlue();
        EmfWriter emf(20, 10);
        if (mode != 0)
            emf.Add(U_EMRSETSTRETCHBLTMODE_set(mode));
        emf.Add(StretchDibits(dib, 0, 0, 20, 10));
        const QRgb edge = Render(emf.Finish(), {20, 10}).pixel(9, 5);
        if (mode == U_HALFTONE)
            EXPECT_TRUE(qRed(edge) > 0 && qBlue(edge) > 0) << std::hex << edge;
        else
            EXPECT_EQ(edge, kRed) << mode;
    }
}

TEST(MetafileBitmapTest, SetDibitsToDeviceDrawsOneBitmapPixelOnOneDevicePixel)
{
    DibBuilder dib(4, 2, 8, U_BI_RGB, Palette(8));
    dib.Pixels(Grid([](int i) { return uint32_t(i); }));
    EmfWriter emf(10, 10);
    emf.Add(U_EMRSETDIBITSTODEVICE_set(kNoBounds, U_POINTL{3, 3}, U_POINTL{0, 0}, U_POINTL{4, 2}, U_DIB_RGB_COLORS, 0, 2,
                                       dib.Info(), dib.BitsSize(), dib.Bits()));
    // Drawn twice as large: each device pixel covers 2 x 2 target pixels.
    const QImage image = Render(emf.Finish(), {20, 20});
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(image.pixel(6 + 2 * (i % 4), 6 + 2 * (i / 4)), kColours[size_t(i)]) << i;
    EXPECT_EQ(image.pixel(5, 5), kPaper);
    EXPECT_EQ(image.pixel(14, 10), kPaper);
}

// --- Alpha, transparent colour, masks ------------------------------------------------------------

QByteArray AlphaBlended(uint32_t pixel, int bitCount, uint8_t constantAlpha, uint8_t format)
{
    DibBuilder dib(1, 1, bitCount, U_BI_RGB);
    dib.Pixels({{pixel}});
    EmfWriter emf(10, 10);
    emf.Add(U_EMRALPHABLEND_set(kNoBounds, U_POINTL{0, 0}, U_POINTL{10, 10}, U_POINTL{0, 0}, U_POINTL{1, 1}, Identity(),
                                U_COLORREF{}, U_DIB_RGB_COLORS, U_BLEND{0, 0, constantAlpha, format}, dib.Info(),
                                dib.BitsSize(), dib.Bits()));
    return emf.Finish();
}

TEST(MetafileBitmapTest, AlphaBlendMixesByConstantAndPremultipliedPixelAlpha)
{
    // Half of red over the paper: 255 / 2 + 200 / 2 and 200 / 2.
    const QRgb half = qRgb(228, 100, 100);
    struct Case { const char* name; QByteArray file; QRgb expected; };
    const std::vector<Case> cases = {
        {"constant", AlphaBlended(Bgr(kRed), 24, 128, U_AC_SRC_CONST), half},
        {"per pixel", AlphaBlended(0x80800000, 32, 255, U_AC_SRC_ALPHA), half},
        {"clear pixel", AlphaBlended(0x00000000, 32, 255, U_AC_SRC_ALPHA), kPaper},
        {"fourth byte ignored", AlphaBlended(0x00FF0000, 32, 255, U_AC_SRC_CONST), kRed},
    };
    for (const Case& c : cases)
        EXPECT_LE(ColourDistance(Render(c.file, {10, 10}).pixel(5, 5), c.expected), 2) << c.name;
}

TEST(MetafileBitmapTest, TransparentBltLeavesTheTransparentColourOut)
{
    DibBuilder dib = RedBlue();
    EmfWriter emf(20, 10);
    emf.Add(U_EMRTRANSPARENTBLT_set(kNoBounds, U_POINTL{0, 0}, U_POINTL{20, 10}, U_POINTL{0, 0}, U_POINTL{2, 1},
                                    Identity(), U_COLORREF{}, U_DIB_RGB_COLORS, 0x00FF0000, dib.Info(), dib.BitsSize(),
                                    dib.Bits()));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {20, 10}), QRect(0, 0, 10, 10), kRed));
}

// libUEMF's MASKBLT and PLGBLT writers put the mask's BITMAPINFO over the source's bits: lays the
// parts out again, one after the other.
template <class Record>
char* WithMaskAfterSource(char* record, DibBuilder& source, DibBuilder& mask)
{
    auto* blt = reinterpret_cast<Record*>(record);
    blt->offBmiMask = blt->offBitsSrc + blt->cbBitsSrc;
    blt->offBitsMask = blt->offBmiMask + blt->cbBmiMask;
    std::memcpy(record + blt->offBitsSrc, source.Bits(), source.BitsSize());
    std::memcpy(record + blt->offBmiMask, mask.Info(), blt->cbBmiMask);
    std::memcpy(record + blt->offBitsMask, mask.Bits(), mask.BitsSize());
    EXPECT_LE(blt->offBitsMask + mask.BitsSize(), blt->emr.nSize);
    return record;
}

DibBuilder Mask(std::vector<uint32_t> bits)
{
    DibBuilder mask(int(bits.size()), 1, 1, U_BI_RGB, {0x000000, 0xFFFFFF});
    mask.Pixels({bits});
    return mask;
}

TEST(MetafileBitmapTest, MaskBltDrawsTheForegroundOperationWhereTheMaskIsSet)
{
    DibBuilder dib = RedBlue();
    DibBuilder mask = Mask({1, 0});
    EmfWriter emf(2, 1);
    const uint32_t rop = (kNoop & 0x00FF0000) << 8 | U_SRCCOPY; // foreground copy, background keeps
    emf.Add(WithMaskAfterSource<U_EMRMASKBLT>(
        U_EMRMASKBLT_set(kNoBounds, U_POINTL{0, 0}, U_POINTL{2, 1}, U_POINTL{0, 0}, Identity(), U_COLORREF{},
                         U_DIB_RGB_COLORS, U_POINTL{0, 0}, U_DIB_RGB_COLORS, rop, dib.Info(), dib.BitsSize(), dib.Bits(),
                         mask.Info(), mask.BitsSize(), mask.Bits()),
        dib, mask));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {2, 1}), QRect(0, 0, 1, 1), kRed));
}

TEST(MetafileBitmapTest, PlgBltLaysTheBitmapOntoAParallelogram)
{
    DibBuilder dib = RedBlue();
    // Turned a quarter: the bitmap's rows run down, its top edge on the right.
    U_POINTL corners[3] = {{10, 0}, {10, 10}, {0, 0}};
    EmfWriter emf(10, 10);
    emf.Add(U_EMRPLGBLT_set(kNoBounds, corners, U_POINTL{0, 0}, U_POINTL{2, 1}, Identity(), U_COLORREF{},
                            U_DIB_RGB_COLORS, U_POINTL{0, 0}, U_DIB_RGB_COLORS, dib.Info(), dib.BitsSize(), dib.Bits(),
                            nullptr, 0, nullptr));
    EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(0, 0, 10, 5), kRed, kBlue));
}

// A mask pays for its runs as the figure of their outline would, so that a mask of a run per pixel
// (which Qt, the picture turned, clips with for seconds) is refused at every placement, upright and
// mirrored alike; a mask of a few runs a row draws, mirrored too.
TEST(MetafileBitmapTest, RegressionAMaskOfManyRunsOnEveryRowIsRefusedAsSuchAFigureIs)
{
    constexpr int kSide = 256;
    struct Case { const char* name; bool checker; bool mirrored; QRect red; };
    for (const Case& c : {Case{"checker", true, false, QRect()}, Case{"checker mirrored", true, true, QRect()},
                          Case{"left half", false, false, QRect(0, 0, 20, 40)},
                          Case{"left half mirrored", false, true, QRect(20, 0, 20, 40)}}) {
        DibBuilder source = DibBuilder::Solid(kSide, kSide, Bgr(kRed));
        DibBuilder mask(kSide, kSide, 1, U_BI_RGB, {0x000000, 0xFFFFFF});
        std::vector<std::vector<uint32_t>> bits(kSide, std::vector<uint32_t>(kSide));
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x)
                bits[size_t(y)][size_t(x)] = c.checker ? uint32_t((x + y) % 2) : uint32_t(x < kSide / 2);
        mask.Pixels(bits);
        U_POINTL corners[3] = {{0, 0}, {40, 0}, {0, 40}};
        if (c.mirrored)
            corners[0] = {40, 0}, corners[1] = {0, 0}, corners[2] = {40, 40};
        EmfWriter emf(40, 40);
        emf.Add(WithMaskAfterSource<U_EMRPLGBLT>(
            U_EMRPLGBLT_set(kNoBounds, corners, U_POINTL{0, 0}, U_POINTL{kSide, kSide}, Identity(), U_COLORREF{},
                            U_DIB_RGB_COLORS, U_POINTL{0, 0}, U_DIB_RGB_COLORS, source.Info(), source.BitsSize(),
                            source.Bits(), mask.Info(), mask.BitsSize(), mask.Bits()),
            source, mask));
        EXPECT_TRUE(AreaIs(Render(emf.Finish(), {40, 40}), c.red, kRed)) << c.name;
    }
}

// --- Pattern and hatch brushes -------------------------------------------------------------------

QByteArray FilledWith(const std::function<uint32_t(EmfWriter&)>& brush, int size, QPoint origin = QPoint())
{
    EmfWriter emf(size, size);
    emf.Select(brush(emf)).Select(U_NULL_PEN);
    if (!origin.isNull())
        emf.Add(U_EMRSETBRUSHORGEX_set(U_POINTL{origin.x(), origin.y()}));
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, size + 1, size + 1}));
    return emf.Finish();
}

uint32_t CheckerBrush(EmfWriter& emf)
{
    DibBuilder dib(2, 2, 24, U_BI_RGB);
    dib.Pixels({{Bgr(kRed), Bgr(kBlue)}, {Bgr(kBlue), Bgr(kRed)}});
    const uint32_t slot = emf.NewSlot();
    emf.Add(U_EMRCREATEDIBPATTERNBRUSHPT_set(slot, U_DIB_RGB_COLORS, dib.Info(), dib.BitsSize(), dib.Bits()));
    return slot;
}

TEST(MetafileBitmapTest, PatternBrushTilesFromTheBrushOriginInDevicePixels)
{
    const QImage plain = Render(FilledWith(CheckerBrush, 8), {8, 8});
    EXPECT_EQ(plain.pixel(0, 0), kRed);
    EXPECT_EQ(plain.pixel(1, 0), kBlue);
    EXPECT_EQ(plain.pixel(0, 1), kBlue);
    EXPECT_EQ(plain.pixel(6, 7), kBlue);
    const QImage moved = Render(FilledWith(CheckerBrush, 8, QPoint(1, 0)), {8, 8});
    EXPECT_EQ(moved.pixel(0, 0), kBlue);
    EXPECT_EQ(moved.pixel(1, 0), kRed);
    // Drawn twice as large, each pattern pixel covers 2 x 2.
    const QImage large = Render(FilledWith(CheckerBrush, 8), {16, 16});
    EXPECT_EQ(large.pixel(1, 1), kRed);
    EXPECT_EQ(large.pixel(2, 1), kBlue);
}

// A monochrome brush paints its 0 bits in the text colour (black in a fresh device context) and its
// 1 bits in the background colour; its own colour table does not count.
TEST(MetafileBitmapTest, MonochromeBrushTakesTheTextAndBackgroundColours)
{
    const QByteArray file = FilledWith([](EmfWriter& emf) {
        DibBuilder dib(2, 1, 1, U_BI_RGB, {Bgr(kRed), Bgr(kBlue)});
        dib.Pixels({{0, 1}});
        emf.Add(U_EMRSETBKCOLOR_set(ToColourRef(kGreen)));
        const uint32_t slot = emf.NewSlot();
        emf.Add(U_EMRCREATEMONOBRUSH_set(slot, U_DIB_PAL_COLORS, dib.Info(), dib.BitsSize(), dib.Bits()));
        return slot;
    }, 4);
    const QImage image = Render(file, {4, 4});
    EXPECT_EQ(image.pixel(0, 0), kBlack);
    EXPECT_EQ(image.pixel(1, 0), kGreen);
    EXPECT_EQ(image.pixel(2, 3), kBlack);
}

TEST(MetafileBitmapTest, HatchesDrawTheirLinesAndTheBackgroundOnlyWhenOpaque)
{
    for (const uint32_t mode : {uint32_t(U_OPAQUE), uint32_t(U_TRANSPARENT)}) {
        const QByteArray file = FilledWith([mode](EmfWriter& emf) {
            emf.Add(U_EMRSETBKMODE_set(mode));
            emf.Add(U_EMRSETBKCOLOR_set(ToColourRef(kGreen)));
            return emf.Brush(kRed, U_BS_HATCHED, U_HS_HORIZONTAL);
        }, 16);
        const QRgb gap = mode == U_OPAQUE ? kGreen : kPaper;
        const QImage image = Render(file, {16, 16});
        for (int y = 0; y < 16; ++y)
            EXPECT_EQ(image.pixel(y, y), y % 8 == 4 ? kRed : gap) << mode << " row " << y;
        // The lines repeat every 8 reference pixels, and scale with the drawing.
        const QImage large = Render(file, {32, 32});
        EXPECT_EQ(large.pixel(3, 8), kRed);
        EXPECT_EQ(large.pixel(3, 9), kRed);
        EXPECT_EQ(large.pixel(3, 25), kRed);
        EXPECT_EQ(large.pixel(3, 10), gap);
    }
}

TEST(MetafileBitmapTest, EveryHatchStyleDrawsItsPattern)
{
    // A pixel on the style's lines and one off them, within the first 8 x 8 tile.
    struct Case { uint32_t hatch; QPoint on; QPoint off; };
    for (const Case& c : {Case{U_HS_HORIZONTAL, {0, 4}, {0, 3}}, Case{U_HS_VERTICAL, {4, 0}, {3, 0}},
                          Case{U_HS_FDIAGONAL, {2, 2}, {5, 2}}, Case{U_HS_BDIAGONAL, {7, 0}, {0, 0}},
                          Case{U_HS_CROSS, {4, 1}, {1, 1}}, Case{U_HS_DIAGCROSS, {1, 6}, {1, 5}}}) {
        const QImage image = Render(FilledWith([&](EmfWriter& emf) { return emf.Brush(kRed, U_BS_HATCHED, c.hatch); }, 8),
                                    {8, 8});
        EXPECT_EQ(image.pixel(c.on), kRed) << c.hatch;
        EXPECT_EQ(image.pixel(c.off), kWhite) << c.hatch;
    }
}

// --- Bad input ---------------------------------------------------------------------------------

DibBuilder WithBits(DibBuilder dib, size_t bytes)
{
    dib.bits.assign(bytes, '\x7F');
    return dib;
}

// A bad picture record is skipped and the red square after it still drawn.
TEST(MetafileBitmapTest, MalformedBitmapsAreSkippedAndTheRestPlays)
{
    struct Case { const char* name; DibBuilder dib; uint32_t usage = U_DIB_RGB_COLORS; };
    std::vector<Case> cases = {
        {"more than 64 megapixels", RunLength(8, {0, 1}, 8193, 8192)},
        {"bits shorter than the header claims", WithBits(DibBuilder(100, 100, 24, U_BI_RGB), 400)},
        {"256 colours claimed, none written", WithBits(DibBuilder(2, 2, 8, U_BI_RGB), 8)},
        {"bit fields without masks", WithBits(DibBuilder(2, 2, 32, U_BI_BITFIELDS), 16)},
        {"top-down run-length", RunLength(8, {4, 1, 0, 1}, 4, -2)},
        {"embedded picture that does not decode", Embedded(4, 2, U_BI_JPEG, QByteArray(64, 'x'))},
        {"logical palette indices", WithBits(DibBuilder(2, 1, 8, U_BI_RGB, {0, 1}), 4), U_DIB_PAL_COLORS},
    };
    for (Case& c : cases) {
        EmfWriter emf(10, 10);
        emf.Add(StretchDibits(c.dib, 0, 0, 10, 10, U_SRCCOPY, c.usage));
        emf.Select(emf.Brush(kRed)).Select(U_NULL_PEN);
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{2, 2, 6, 6}));
        EXPECT_TRUE(AreaIs(Render(emf.Finish(), {10, 10}), QRect(2, 2, 4, 4), kRed)) << c.name;
    }
}

// 16 megapixels of pictures draw in full at every size, and so does what follows them.
TEST(MetafileBitmapTest, SixteenMegapixelsOfPicturesDrawInFull)
{
    std::vector<uint8_t> row;
    for (int i = 0; i < 16; ++i)
        row.insert(row.end(), {255, 0});
    row.insert(row.end(), {16, 0, 0, 0});
    std::vector<uint8_t> bits;
    for (int y = 0; y < 4096; ++y)
        bits.insert(bits.end(), row.begin(), row.end());
    DibBuilder dib = RunLength(8, bits, 4096, 4096);
    for (const QSize size : {QSize(100, 75), QSize(800, 600)}) {
        EmfWriter emf(100, 75);
        emf.Add(StretchDibits(dib, 0, 0, 50, 75));
        emf.Select(emf.Brush(kBlue)).Select(U_NULL_PEN);
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{50, 0, 101, 76}));
        const QImage image = Render(emf.Finish(), size);
        EXPECT_EQ(image.pixel(size.width() / 4, size.height() / 2), kRed) << size.width();
        EXPECT_EQ(image.pixel(size.width() * 3 / 4, size.height() / 2), kBlue) << size.width();
    }
}

} // namespace
