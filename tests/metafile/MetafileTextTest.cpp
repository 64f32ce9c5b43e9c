#include "EmfWriter.h"
#include "RenderHelpers.h"

#include <QFont>
#include <QRawFont>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

namespace {

constexpr U_RECTL kNoBounds{0, 0, 0, 0};
constexpr U_RECTL kNoRectangle{0, 0, 0, 0};
// Liberation Sans (what Arial is drawn with), as fractions of the em: the cell above and below the
// baseline, the capital height, and the advance of H.
constexpr double kAscent = 1854.0 / 2048;
constexpr double kDescent = 434.0 / 2048;
constexpr double kCapHeight = 1409.0 / 2048;
constexpr int kEm = 40;
// How far from where the font's metrics put it antialiased ink may land.
constexpr int kSlack = 2;

U_LOGFONT LogFont(int32_t height, const char* face = "Arial", int32_t escapement = 0)
{
    std::vector<uint16_t> name(U_LF_FACESIZE, 0);
    for (size_t i = 0; face[i] != 0 && i + 1 < name.size(); ++i)
        name[i] = uint16_t(face[i]);
    return logfont_set(height, 0, escapement, escapement, U_FW_NORMAL, 0, 0, 0, U_ANSI_CHARSET, U_OUT_DEFAULT_PRECIS,
                       U_CLIP_DEFAULT_PRECIS, U_DEFAULT_QUALITY, U_DEFAULT_PITCH, name.data());
}

uint32_t Font(EmfWriter& emf, const U_LOGFONT& font)
{
    const uint32_t slot = emf.NewSlot();
    emf.Add(U_EMREXTCREATEFONTINDIRECTW_set(slot, reinterpret_cast<const char*>(&font), nullptr));
    return slot;
}

// A writer with black text in a 40-pixel Arial, transparent background, on width x height.
EmfWriter& WithFont(EmfWriter& emf, const U_LOGFONT& font = LogFont(-kEm))
{
    emf.Select(Font(emf, font));
    emf.Add(U_EMRSETBKMODE_set(U_TRANSPARENT));
    return emf;
}

struct TextOut {
    QPoint reference;
    QString text;
    std::vector<int32_t> dx; // one a character, or pairs with ETO_PDY
    uint32_t options = 0;
    U_RECTL rectangle = kNoRectangle;
    uint32_t graphicsMode = U_GM_COMPATIBLE;
};

// EXTTEXTOUTW, or EXTTEXTOUTA of the text's Latin-1 bytes. Without spacing the record's spacing
// offset is 0: the font's own advances.
char* TextRecord(const TextOut& out, bool wide = true)
{
    std::vector<uint32_t> dx(out.dx.begin(), out.dx.end());
    const bool natural = dx.empty();
    dx.resize(std::max<size_t>(dx.size(), size_t(out.text.size()) * 2));
    QByteArray bytes = out.text.toLatin1();
    const std::u16string units = out.text.toStdU16String();
    char* entry = emrtext_set(U_POINTL{out.reference.x(), out.reference.y()}, uint32_t(out.text.size()), wide ? 2 : 1,
                              wide ? static_cast<void*>(const_cast<char16_t*>(units.data())) : bytes.data(),
                              out.options, out.rectangle, dx.data());
    char* record = wide ? U_EMREXTTEXTOUTW_set(kNoBounds, out.graphicsMode, 1, 1, reinterpret_cast<PU_EMRTEXT>(entry))
                        : U_EMREXTTEXTOUTA_set(kNoBounds, out.graphicsMode, 1, 1, reinterpret_cast<PU_EMRTEXT>(entry));
    free(entry);
    if (natural) {
        const size_t offset = offsetof(U_EMREXTTEXTOUTW, emrtext) + sizeof(U_EMRTEXT)
            + ((out.options & U_ETO_NO_RECT) != 0 ? 0 : sizeof(U_RECTL));
        std::memset(record + offset, 0, sizeof(uint32_t));
    }
    return record;
}

// POLYTEXTOUTW (libUEMF has no writer for it): the fixed part, an entry with a rectangle for each
// string, then each string and its spacing; allocated with malloc, as libUEMF's writers do.
char* PolyTextRecord(const std::vector<TextOut>& strings)
{
    constexpr size_t entrySize = sizeof(U_EMRTEXT) + sizeof(U_RECTL) + sizeof(uint32_t);
    QByteArray record(int(offsetof(U_EMRPOLYTEXTOUTW, emrtext) + strings.size() * entrySize), '\0');
    auto put = [&record](size_t offset, uint32_t value) { std::memcpy(record.data() + offset, &value, sizeof(value)); };
    put(offsetof(U_EMRPOLYTEXTOUTW, iGraphicsMode), U_GM_COMPATIBLE);
    put(offsetof(U_EMRPOLYTEXTOUTW, cStrings), uint32_t(strings.size()));
    for (size_t i = 0; i < strings.size(); ++i) {
        const TextOut& out = strings[i];
        const size_t entry = offsetof(U_EMRPOLYTEXTOUTW, emrtext) + i * entrySize;
        put(entry + offsetof(U_EMRTEXT, ptlReference), uint32_t(out.reference.x()));
        put(entry + offsetof(U_EMRTEXT, ptlReference) + 4, uint32_t(out.reference.y()));
        put(entry + offsetof(U_EMRTEXT, nChars), uint32_t(out.text.size()));
        put(entry + offsetof(U_EMRTEXT, offString), uint32_t(record.size()));
        put(entry + offsetof(U_EMRTEXT, fOptions), out.options);
        record.append(reinterpret_cast<const char*>(out.text.utf16()), out.text.size() * 2);
        record.append((4 - record.size() % 4) % 4, '\0');
        put(entry + sizeof(U_EMRTEXT) + sizeof(U_RECTL), uint32_t(record.size()));
        record.append(reinterpret_cast<const char*>(out.dx.data()), qsizetype(out.dx.size() * 4));
    }
    put(offsetof(U_EMR, iType), U_EMR_POLYTEXTOUTW);
    put(offsetof(U_EMR, nSize), uint32_t(record.size()));
    return static_cast<char*>(std::memcpy(malloc(size_t(record.size())), record.constData(), size_t(record.size())));
}

// The box of every pixel that is not paper; empty when there is none.
QRect Ink(const QImage& image, QRgb paper = kPaper)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != paper)
                box |= QRect(x, y, 1, 1);
    return box;
}

int Count(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

// The row with the most pixels of colour (or, with ink, of anything but paper) from x to x + width, and
// how many it has.
std::pair<int, int> FullestRow(const QImage& image, int x, int width, QRgb colour, bool ink = false)
{
    std::pair<int, int> fullest{-1, 0};
    for (int y = 0; y < image.height(); ++y) {
        int count = 0;
        for (int i = x; i < x + width; ++i)
            count += (image.pixel(i, y) == colour) != ink;
        if (count > fullest.second)
            fullest = {y, count};
    }
    return fullest;
}

testing::AssertionResult Near(int actual, double expected, const char* what)
{
    if (std::abs(actual - expected) <= kSlack)
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << what << " is " << actual << ", expected " << expected;
}

QImage RenderText(const TextOut& out, uint32_t align = U_TA_DEFAULT, QSize size = {200, 100},
                  const U_LOGFONT& font = LogFont(-kEm))
{
    EmfWriter emf(size.width(), size.height());
    WithFont(emf, font).Add(U_EMRSETTEXTALIGN_set(align)).Add(TextRecord(out));
    return Render(emf.Finish(), size);
}

// --- Placement -----------------------------------------------------------------------------

TEST(MetafileTextTest, AlignmentPlacesTheInkAroundTheReferencePoint)
{
    const double advance = 1479.0 / 2048 * kEm; // H
    struct Case {
        uint32_t align;
        double inkLeftFromReference;   // of the cell's left edge
        double inkBottomFromReference; // of the baseline
    };
    const Case cases[] = {
        {U_TA_TOP | U_TA_LEFT, 0, kAscent * kEm},
        {U_TA_TOP | U_TA_CENTER, -advance / 2, kAscent * kEm},
        {U_TA_TOP | U_TA_RIGHT, -advance, kAscent * kEm},
        {U_TA_BASELINE | U_TA_LEFT, 0, 0},
        {U_TA_BASELINE | U_TA_CENTER, -advance / 2, 0},
        {U_TA_BASELINE | U_TA_RIGHT, -advance, 0},
        {U_TA_BOTTOM | U_TA_LEFT, 0, -kDescent * kEm},
        {U_TA_BOTTOM | U_TA_CENTER, -advance / 2, -kDescent * kEm},
        {U_TA_BOTTOM | U_TA_RIGHT, -advance, -kDescent * kEm},
    };
    const QPoint reference(100, 50);
    const QRect atLeftBaseline = Ink(RenderText({reference, "H", {30}}, U_TA_BASELINE | U_TA_LEFT));
    const int bearing = atLeftBaseline.left() - reference.x();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.align);
        const QRect ink = Ink(RenderText({reference, "H", {30}}, c.align));
        EXPECT_TRUE(Near(ink.left(), reference.x() + c.inkLeftFromReference + bearing, "left"));
        EXPECT_TRUE(Near(ink.bottom() + 1, reference.y() + c.inkBottomFromReference, "bottom"));
        EXPECT_TRUE(Near(ink.height(), kCapHeight * kEm, "height"));
    }
}

TEST(MetafileTextTest, NegativeHeightIsTheEmAndPositiveTheCell)
{
    for (const int height : {-kEm, kEm}) {
        const double em = height < 0 ? kEm : kEm / (kAscent + kDescent);
        const QImage image = RenderText({{20, 70}, "H", {30}}, U_TA_BASELINE, {200, 100}, LogFont(height));
        EXPECT_TRUE(Near(Ink(image).height(), kCapHeight * em, "capital height")) << height;
    }
}

TEST(MetafileTextTest, SpacingArrayAdvancesEachCharacter)
{
    struct Case {
        std::vector<int32_t> dx;
        uint32_t options;
        int expectedWidthBeyondOneGlyph;
        int expectedRise;
    };
    const Case cases[] = {
        {{20, 20, 20}, 0, 40, 0},
        {{60, 0, 0}, 0, 60, 0},
        {{0, 0, 0}, 0, 0, 0},
        {{30, 10, 30, 10, 0, 0}, U_ETO_PDY, 60, 20},
    };
    const QRect one = Ink(RenderText({{20, 50}, "I", {20}}, U_TA_BASELINE));
    for (const Case& c : cases) {
        const QRect ink = Ink(RenderText({{20, 50}, "III", c.dx, c.options}, U_TA_BASELINE));
        EXPECT_TRUE(Near(ink.width() - one.width(), c.expectedWidthBeyondOneGlyph, "width"));
        EXPECT_TRUE(Near(one.top() - ink.top(), c.expectedRise, "rise"));
        EXPECT_EQ(ink.left(), one.left());
    }
}

TEST(MetafileTextTest, EscapementTurnsTheBaselineCounterClockwise)
{
    struct Case {
        int32_t escapement;
        QRect expected; // where the ink of "HHH" at (100, 100), baseline left, lies
    };
    const int length = 3 * 30;
    const int cap = int(kCapHeight * kEm);
    const Case cases[] = {
        {0, QRect(QPoint(100, 100 - cap), QPoint(100 + length, 100))},
        {900, QRect(QPoint(100 - cap, 100 - length), QPoint(100, 100))},
        {1800, QRect(QPoint(100 - length, 100), QPoint(100, 100 + cap))},
        {2700, QRect(QPoint(100, 100), QPoint(100 + cap, 100 + length))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.escapement);
        const QRect ink = Ink(RenderText({{100, 100}, "HHH", {30, 30, 30}}, U_TA_BASELINE, {200, 200},
                                         LogFont(-kEm, "Arial", c.escapement)));
        // The ink stays within the expected box, and fills most of it.
        EXPECT_TRUE(c.expected.adjusted(-kSlack, -kSlack, kSlack, kSlack).contains(ink)) << ink.x() << "," << ink.y()
                                                                                           << " " << ink.width() << "x"
                                                                                           << ink.height();
        EXPECT_GT(ink.width() * ink.height(), c.expected.width() * c.expected.height() * 3 / 4);
    }
}

TEST(MetafileTextTest, OrientationTurnsEachGlyphOnlyInTheAdvancedMode)
{
    struct Case {
        uint32_t graphicsMode;
        bool lying; // the I's stem lies along the baseline
    };
    for (const Case c : {Case{U_GM_COMPATIBLE, false}, Case{U_GM_ADVANCED, true}}) {
        SCOPED_TRACE(c.graphicsMode);
        U_LOGFONT font = LogFont(-kEm);
        font.lfOrientation = 900;
        const QRect ink =
            Ink(RenderText({{100, 50}, "I", {20}, 0, kNoRectangle, c.graphicsMode}, U_TA_BASELINE, {200, 100}, font));
        const int cap = int(kCapHeight * kEm);
        const QRect stem = c.lying ? QRect(100 - cap, 40, cap, 10) : QRect(100, 50 - cap, 10, cap);
        EXPECT_TRUE(stem.adjusted(-kSlack, -kSlack, kSlack, kSlack).contains(ink))
            << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
        EXPECT_TRUE(Near(std::max(ink.width(), ink.height()), kCapHeight * kEm, "length"));
    }
}

TEST(MetafileTextTest, UpdateCurrentPositionDrawsAtItAndMovesItAlong)
{
    EmfWriter emf(200, 100);
    WithFont(emf)
        .Add(U_EMRSETTEXTALIGN_set(U_TA_BASELINE | U_TA_UPDATECP))
        .Add(U_EMRMOVETOEX_set(U_POINTL{10, 60}))
        .Add(TextRecord({{150, 10}, "I", {50}})) // the reference point does not count
        .Add(TextRecord({{150, 10}, "I", {50}}));
    const QImage image = Render(emf.Finish(), {200, 100});
    const QImage single = RenderText({{10, 60}, "I", {50}}, U_TA_BASELINE);
    const QRect one = Ink(single);
    EXPECT_EQ(Ink(image), one.united(one.translated(50, 0)));
}

// --- Colours -------------------------------------------------------------------------------

TEST(MetafileTextTest, TextColourAndOpaqueBackgroundBox)
{
    for (const bool opaque : {false, true}) {
        EmfWriter emf(200, 100);
        emf.Select(Font(emf, LogFont(-kEm)))
            .Add(U_EMRSETBKMODE_set(opaque ? U_OPAQUE : U_TRANSPARENT))
            .Add(U_EMRSETBKCOLOR_set(ToColourRef(kBlue)))
            .Add(U_EMRSETTEXTCOLOR_set(ToColourRef(kRed)))
            .Add(TextRecord({{20, 20}, "I", {60}}));
        const QImage image = Render(emf.Finish(), {200, 100});
        // The cell: 60 wide (the advance), ascent and descent high, from the top-left reference.
        const QRect cell(20, 20, 60, int(std::round((kAscent + kDescent) * kEm)));
        SCOPED_TRACE(opaque);
        EXPECT_GT(Count(image, kRed), 60); // the stem of I
        EXPECT_EQ(image.pixel(cell.right() - 3, cell.center().y()), opaque ? kBlue : kPaper);
        EXPECT_EQ(image.pixel(cell.left() + 1, cell.bottom() - 1), opaque ? kBlue : kPaper);
        EXPECT_TRUE(cell.adjusted(-1, -1, 1, 1).contains(Ink(image)));
    }
}

// The opaque option fills the rectangle with the background colour (here with no characters at all:
// how programs fill a rectangle with text records). Text is not mixed by the pen mix, stays inside the
// metafile's clip, and the font and colours come back with RESTOREDC.
TEST(MetafileTextTest, OpaqueOptionFillsTheRectangleIgnoresPenMixesKeepsToTheClipAndIsRestored)
{
    struct Case { const char* name; std::function<void(EmfWriter&)> before; QRect box; QRgb colour; };
    const std::vector<Case> cases = {
        {"opaque option", [](EmfWriter&) {}, QRect(10, 20, 50, 50), kBlue},
        {"xor mix", [](EmfWriter& e) { e.Add(U_EMRSETROP2_set(U_R2_XORPEN)); }, QRect(10, 20, 50, 50), kBlue},
        {"clip", [](EmfWriter& e) { e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{0, 0, 35, 100})); },
         QRect(10, 20, 25, 50), kBlue},
        {"restored", [](EmfWriter& e) {
             e.Add(U_EMRSAVEDC_set()).Add(U_EMRSETBKCOLOR_set(ToColourRef(kRed)));
             e.Add(U_EMRINTERSECTCLIPRECT_set(U_RECTL{0, 0, 1, 1})).Add(U_EMRRESTOREDC_set(-1));
         }, QRect(10, 20, 50, 50), kBlue},
    };
    for (const Case& c : cases) {
        char* text = TextRecord({{10, 10}, "H", {30}, U_ETO_OPAQUE, U_RECTL{10, 20, 60, 70}});
        const uint32_t noChars = 0;
        std::memcpy(text + offsetof(U_EMREXTTEXTOUTW, emrtext) + offsetof(U_EMRTEXT, nChars), &noChars, sizeof(noChars));
        EmfWriter emf(100, 100);
        WithFont(emf).Add(U_EMRSETBKCOLOR_set(ToColourRef(kBlue)));
        c.before(emf);
        emf.Add(text);
        EXPECT_TRUE(AreaIs(Render(emf.Finish(), {100, 100}), c.box, c.colour)) << c.name;
    }
}

TEST(MetafileTextTest, ClippedTextStaysInsideTheRectangle)
{
    const TextOut wide{{10, 20}, "HHHH", {30, 30, 30, 30}};
    const QRect whole = Ink(RenderText(wide));
    TextOut clipped = wide;
    clipped.options = U_ETO_CLIPPED;
    clipped.rectangle = U_RECTL{40, 0, 80, 45};
    const QRect ink = Ink(RenderText(clipped));
    EXPECT_TRUE(QRect(40, 0, 40, 45).contains(ink));
    EXPECT_GT(ink.width(), 30);
    EXPECT_GT(whole.width(), 100);
}

TEST(MetafileTextTest, UnderlineAndStrikeOutRunTheWholeAdvance)
{
    struct Case {
        uint8_t underline;
        uint8_t strikeOut;
        double highest; // where the line may lie, in ems above the baseline
        double lowest;
    };
    const Case cases[] = {{1, 0, 0, -kDescent}, {0, 1, kCapHeight / 2 + 0.05, kCapHeight / 4}};
    constexpr int baseline = 60;
    for (const Case& c : cases) {
        U_LOGFONT font = LogFont(-kEm);
        font.lfUnderline = c.underline;
        font.lfStrikeOut = c.strikeOut;
        const QImage image = RenderText({{20, baseline}, "I  ", {20, 40, 40}}, U_TA_BASELINE, {200, 100}, font);
        // The row blackest over the spaces' advance: black all along it, and paper past its end.
        const auto [row, most] = FullestRow(image, 60, 60, kBlack);
        SCOPED_TRACE(row);
        EXPECT_EQ(most, 60);
        EXPECT_GE(row, baseline - c.highest * kEm);
        EXPECT_LE(row, baseline - c.lowest * kEm);
        EXPECT_EQ(image.pixel(122, row), kPaper);
    }
}

// --- Strings -------------------------------------------------------------------------------

TEST(MetafileTextTest, AnsiStringsDrawInTheCodePageOfTheFontsCharacterSet)
{
    struct Case {
        uint8_t charset;
        QByteArray bytes;
        std::vector<uint32_t> byteAdvances;
        QString text;
        std::vector<int32_t> advances;
    };
    const Case cases[] = {
        {U_ANSI_CHARSET, "H\xE9\x80", {30, 30, 30}, QStringLiteral("H\u00E9\u20AC"), {30, 30, 30}},
        {U_RUSSIAN_CHARSET, "\xCF\xF0\xE8", {30, 30, 30}, QStringLiteral("\u041F\u0440\u0438"), {30, 30, 30}},
        {U_GREEK_CHARSET, "\xD9\xE1", {30, 30}, QStringLiteral("\u03A9\u03B1"), {30, 30}},
        // Two bytes, one character: its advance is theirs added up.
        {U_SHIFTJIS_CHARSET, "A\x82\xA0" "B", {30, 20, 20, 30}, QStringLiteral("A\u3042B"), {30, 40, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.charset));
        U_LOGFONT font = LogFont(-kEm);
        font.lfCharSet = c.charset;
        EmfWriter ansi(200, 100);
        std::vector<uint32_t> dx = c.byteAdvances;
        char* entry = emrtext_set(U_POINTL{20, 20}, uint32_t(c.bytes.size()), 1, const_cast<char*>(c.bytes.data()), 0,
                                  kNoRectangle, dx.data());
        WithFont(ansi, font)
            .Add(U_EMREXTTEXTOUTA_set(kNoBounds, U_GM_COMPATIBLE, 1, 1, reinterpret_cast<PU_EMRTEXT>(entry)));
        free(entry);
        const QImage image = RenderText({{20, 20}, c.text, c.advances}, U_TA_DEFAULT, {200, 100}, font);
        EXPECT_EQ(Render(ansi.Finish(), {200, 100}), image);
        EXPECT_GT(Ink(image).width(), 40);
    }
}

TEST(MetafileTextTest, CharactersTheFaceLacksDrawFromAnotherFace)
{
    // A snowman is not in Liberation Sans; a private-use character is in no face, and draws the face's
    // missing-glyph box.
    const QImage snowman = RenderText({{20, 20}, QStringLiteral("\u2603"), {40}});
    const QImage missing = RenderText({{20, 20}, QStringLiteral("\uE000"), {40}});
    EXPECT_FALSE(Ink(snowman).isEmpty());
    EXPECT_NE(snowman, missing);
}

TEST(MetafileTextTest, SmallTextOutDrawsLikeExtTextOut)
{
    EmfWriter small(200, 100);
    WithFont(small).Add(U_EMRSMALLTEXTOUT_set(U_POINTL{20, 20}, 2, U_ETO_NO_RECT | U_ETO_SMALL_CHARS, U_GM_COMPATIBLE,
                                              1, 1, kNoBounds, "HI"));
    const QRect ink = Ink(Render(small.Finish(), {200, 100}));
    const QRect expected = Ink(RenderText({{20, 20}, "HI", {int32_t(std::lround(1479.0 / 2048 * kEm)), 10}}));
    EXPECT_TRUE(Near(ink.left(), expected.left(), "left"));
    EXPECT_TRUE(Near(ink.right(), expected.right(), "right"));
    EXPECT_EQ(ink.top(), expected.top());
}

TEST(MetafileTextTest, PolyTextOutDrawsEachStringLikeExtTextOut)
{
    const TextOut first{{20, 20}, "HI", {30, 30}};
    const TextOut second{{120, 50}, "T", {30}};
    EmfWriter poly(200, 100);
    WithFont(poly).Add(PolyTextRecord({first, second}));
    EmfWriter single(200, 100);
    WithFont(single).Add(TextRecord(first)).Add(TextRecord(second));
    const QImage image = Render(single.Finish(), {200, 100});
    EXPECT_EQ(Render(poly.Finish(), {200, 100}), image);
    EXPECT_GT(Ink(image).width(), 120);
}

TEST(MetafileTextTest, GlyphIndicesDrawOnlyWithTheFaceTheyWereWrittenFor)
{
    QFont qtFont(QStringLiteral("Liberation Sans"));
    qtFont.setPixelSize(kEm);
    const QList<quint32> glyphs = QRawFont::fromFont(qtFont).glyphIndexesForString(QStringLiteral("HT"));
    ASSERT_EQ(glyphs.size(), 2);
    const QString indices = QString(QChar(char16_t(glyphs[0]))) + QChar(char16_t(glyphs[1]));
    struct Case {
        const char* face;
        bool drawn;
    };
    for (const Case c : {Case{"Liberation Sans", true}, Case{"Arial", false}}) {
        SCOPED_TRACE(c.face);
        const U_LOGFONT font = LogFont(-kEm, c.face);
        const QImage image = RenderText({{20, 20}, indices, {30, 30}, U_ETO_GLYPH_INDEX}, U_TA_DEFAULT, {200, 100}, font);
        if (c.drawn)
            EXPECT_EQ(image, RenderText({{20, 20}, "HT", {30, 30}}, U_TA_DEFAULT, {200, 100}, font));
        else
            EXPECT_TRUE(Ink(image).isEmpty());
    }
}

TEST(MetafileTextTest, MappingAndWorldTransformPlaceText)
{
    struct Case {
        const char* what;
        bool yUp;          // window extent (100, -100) onto viewport (100, 100): y up from the bottom
        U_XFORM world;
        uint32_t graphicsMode;
        bool upright;      // the T's bar above its stem
        double scale;      // of the capital height
    };
    const U_XFORM identity = Transform(1, 0, 0, 1, 0, 0);
    const Case cases[] = {
        {"y-up mapping, compatible", true, identity, U_GM_COMPATIBLE, true, 1},
        {"y-up mapping, advanced", true, identity, U_GM_ADVANCED, true, 1},
        {"world scaled twice", false, Transform(2, 0, 0, 2, -50, -25), U_GM_ADVANCED, true, 2},
        {"world mirrored", false, Transform(1, 0, 0, -1, 0, 100), U_GM_ADVANCED, false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EmfWriter emf(200, 100);
        WithFont(emf).Add(U_EMRSETTEXTALIGN_set(U_TA_BASELINE | U_TA_CENTER));
        if (c.yUp) {
            emf.Add(U_EMRSETMAPMODE_set(U_MM_ANISOTROPIC))
                .Add(U_EMRSETWINDOWEXTEX_set(U_SIZEL{100, -100}))
                .Add(U_EMRSETVIEWPORTEXTEX_set(U_SIZEL{100, 100}))
                .Add(U_EMRSETVIEWPORTORGEX_set(U_POINTL{0, 100}));
        }
        emf.Add(U_EMRSETWORLDTRANSFORM_set(c.world));
        emf.Add(TextRecord({{100, 50}, "T", {30}, 0, kNoRectangle, c.graphicsMode}));
        const QImage image = Render(emf.Finish(), {200, 100});
        const QRect ink = Ink(image);
        EXPECT_TRUE(Near(ink.height(), kCapHeight * kEm * c.scale, "capital height"));
        const int bar = FullestRow(image, 0, image.width(), kPaper, true).first; // the T's bar
        EXPECT_EQ(bar - ink.top() < ink.height() / 4, c.upright) << bar << " in " << ink.top() << ".." << ink.bottom();
    }
}

TEST(MetafileTextTest, TextInAPathBracketAddsItsOutlines)
{
    EmfWriter emf(200, 100);
    WithFont(emf)
        .Select(emf.Brush(kRed))
        .Select(U_NULL_PEN)
        .Add(U_EMRBEGINPATH_set())
        .Add(TextRecord({{20, 20}, "HI", {30, 30}}))
        .Add(U_EMRENDPATH_set())
        .Add(U_EMRFILLPATH_set(kNoBounds));
    const QImage image = Render(emf.Finish(), {200, 100});
    const QRect ink = Ink(image);
    const QRect drawn = Ink(RenderText({{20, 20}, "HI", {30, 30}}));
    EXPECT_TRUE(drawn.adjusted(-1, -1, 1, 1).contains(ink) && ink.adjusted(-1, -1, 1, 1).contains(drawn));
    EXPECT_GT(Count(image, kRed), 200);
    EXPECT_EQ(Count(image, kBlack), 0);
}

TEST(MetafileTextTest, NothingSelectedDrawsWithTheSystemFont)
{
    EmfWriter emf(200, 100);
    emf.Add(TextRecord({{20, 20}, "H", {20}}));
    const QRect ink = Ink(Render(emf.Finish(), {200, 100}), kPaper);
    // Opaque by default: a white cell 16 pixels high, with black ink in it.
    EXPECT_TRUE(Near(ink.height(), 16, "cell"));
}

// Figures leave the painter in Qt's opaque background mode, in which Qt drew cached glyphs at the top
// left of the picture.
TEST(MetafileTextTest, RegressionTextAfterAFigureLandsAtItsReferencePoint)
{
    const TextOut text{{100, 50}, "Hat", {20, 20, 20}};
    EmfWriter emf(200, 100);
    emf.Select(Font(emf, LogFont(-20))).Select(emf.Brush(kRed)).Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 5, 5}));
    emf.Add(U_EMRSETBKMODE_set(U_TRANSPARENT)).Add(TextRecord(text));
    QImage image = Render(emf.Finish(), {200, 100});
    const QImage alone = RenderText(text, U_TA_DEFAULT, {200, 100}, LogFont(-20));
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, alone.pixel(x, y));
    EXPECT_EQ(image, alone);
}

// --- Sizes ---------------------------------------------------------------------------------

TEST(MetafileTextTest, AFontAMillionUnitsHighDrawsThePartInSight)
{
    // The picture lies in the middle of an I's stem, the baseline far below.
    constexpr int em = 1000000;
    QFont qtFont(QStringLiteral("Liberation Sans"));
    qtFont.setPixelSize(1000);
    const QRawFont raw = QRawFont::fromFont(qtFont);
    const QRectF stem = raw.boundingRect(raw.glyphIndexesForString(QStringLiteral("I")).value(0));
    const int x = 50 - int(stem.center().x() * (em / 1000));
    const QImage image = RenderText({{x, em / 2}, "I", {em}}, U_TA_BASELINE, {100, 100}, LogFont(-em));
    EXPECT_TRUE(AreaIs(image, QRect(0, 0, 100, 100), kBlack));
}

TEST(MetafileTextTest, TenThousandGlyphsDrawToTheLastAtEverySize)
{
    // 9,999 spaces on the reference point, then an H.
    QString text(9999, QLatin1Char(' '));
    text += QLatin1Char('H');
    std::vector<int32_t> dx(10000, 0);
    EmfWriter emf(200, 100);
    WithFont(emf).Add(TextRecord({{20, 20}, text, dx}));
    const QByteArray bytes = emf.Finish();
    for (const int scale : {1, 4}) {
        SCOPED_TRACE(scale);
        const QSize size(200 * scale, 100 * scale);
        const QRect ink = Ink(Render(bytes, size));
        EXPECT_TRUE(Near(ink.left(), (20 + 3) * scale, "left"));
        EXPECT_TRUE(Near(ink.height(), kCapHeight * kEm * scale, "height"));
    }
}

// --- Malformed records ---------------------------------------------------------------------

TEST(MetafileTextTest, RecordsWhoseStringOrSpacingLeavesTheRecordAreSkipped)
{
    struct Case {
        const char* what;
        size_t field;   // offset of the field to spoil, from the record's start
        uint32_t value;
    };
    constexpr size_t entry = offsetof(U_EMREXTTEXTOUTW, emrtext);
    const Case cases[] = {
        {"string offset past the end", entry + offsetof(U_EMRTEXT, offString), 0x7FFFFFF0},
        {"character count past the end", entry + offsetof(U_EMRTEXT, nChars), 0x40000000},
        {"spacing offset past the end", entry + sizeof(U_EMRTEXT) + sizeof(U_RECTL), 0xFFFFFFF0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        char* text = TextRecord({{20, 20}, "HHH", {30, 30, 30}});
        std::memcpy(text + c.field, &c.value, sizeof(c.value));
        EmfWriter emf(100, 100);
        WithFont(emf).Add(text).Select(emf.Brush(kRed)).Select(U_NULL_PEN);
        emf.Add(U_EMRRECTANGLE_set(U_RECTL{50, 50, 90, 90}));
        EXPECT_TRUE(AreaIs(Render(emf.Finish(), {100, 100}), QRect(50, 50, 40, 40), kRed));
    }
}

} // namespace

