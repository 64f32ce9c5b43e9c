#include "EmfWriter.h"
#include "support/TestFiles.h"
#include "platform/metafile/Metafile.h"

#include <QFile>
#include <QPainter>
#include <cstring>
#include <gtest/gtest.h>
#include <uemf_safe.h>
#include <vector>

using platform::Metafile;

namespace {

constexpr size_t kCountOffset = offsetof(U_EMRPOLYLINE, cptl);

uint32_t ReadU32(const QByteArray& bytes, qsizetype offset)
{
    uint32_t value = 0;
    std::memcpy(&value, bytes.constData() + offset, sizeof(value));
    return value;
}

void WriteU32(QByteArray& bytes, qsizetype offset, uint32_t value)
{
    std::memcpy(bytes.data() + offset, &value, sizeof(value));
}

// The offsets of the records, header first.
std::vector<qsizetype> RecordOffsets(const QByteArray& bytes)
{
    std::vector<qsizetype> offsets;
    for (qsizetype offset = 0; offset + 8 <= bytes.size();) {
        offsets.push_back(offset);
        const uint32_t size = ReadU32(bytes, offset + offsetof(U_EMR, nSize));
        if (size == 0)
            break;
        offset += size;
    }
    return offsets;
}

// Header, a stock pen, a one-point polyline, end of file.
QByteArray SmallFile()
{
    EmfWriter emf(10, 10);
    emf.Select(U_BLACK_PEN);
    const U_POINTL point{1, 1};
    emf.Add(U_EMRPOLYLINE_set(U_RECTL{0, 0, 0, 0}, 1, &point));
    return emf.Finish();
}

constexpr int kPolylineRecord = 2;

TEST(MetafileLoadTest, RealFilesGiveTheirHeadersBoundsAndFrame)
{
    struct Expected { const char* name; Rect bounds; Rect frame; };
    for (const Expected& e : {Expected{"oval", {0, 0, 5007, 3779}, {0, 0, 10599, 7999}},
                              Expected{"cloud", {0, 0, 5290, 4015}, {0, 0, 11199, 8499}},
                              Expected{"shout", {0, 0, 5007, 4015}, {0, 0, 10599, 8499}}}) {
        const auto metafile = Metafile::FromFile(DataFile(QString(e.name) + ".emf"));
        ASSERT_TRUE(metafile) << e.name;
        EXPECT_EQ(metafile->Bounds(), e.bounds) << e.name;
        EXPECT_EQ(metafile->Frame(), e.frame) << e.name;
    }
}

TEST(MetafileLoadTest, BuiltFileLoadsAndCopiesShareIt)
{
    const auto metafile = Metafile::FromBytes(SmallFile());
    ASSERT_TRUE(metafile);
    EXPECT_EQ(metafile->Bounds(), (Rect{0, 0, 9, 9}));
    EXPECT_EQ(metafile->Frame(), (Rect{0, 0, 100, 100}));
    const Metafile copy = *metafile;
    EXPECT_EQ(copy.Bounds(), metafile->Bounds());
}

TEST(MetafileLoadTest, NothingReadableFails)
{
    EXPECT_FALSE(Metafile::FromFile(DataFile("no-such-file.emf")));
    EXPECT_FALSE(Metafile::FromFile(DataFile("oval.ref.png")));
    EXPECT_FALSE(Metafile::FromBytes(QByteArray()));
    EXPECT_FALSE(Metafile::FromBytes(QByteArray(200, '\0')));
    EXPECT_FALSE(Metafile::FromBytes(QByteArray(200, '\xFF')));
}

TEST(MetafileLoadTest, BadHeadersFail)
{
    const QByteArray good = SmallFile();
    ASSERT_TRUE(Metafile::FromBytes(good));
    struct Patch { qsizetype offset; uint32_t value; const char* what; };
    const Patch patches[] = {
        {offsetof(U_EMR, iType), U_EMR_EOF, "first record is not a header"},
        {offsetof(U_EMRHEADER, dSignature), 0x12345678, "signature"},
        {offsetof(U_EMR, nSize), 2000, "header longer than the file"},
        {offsetof(U_EMR, nSize), 50, "header shorter than its fixed part"},
        {offsetof(U_EMR, nSize), 110, "header size not a multiple of 4"},
        {offsetof(U_EMRHEADER, nBytes), uint32_t(good.size() + 4), "byte count beyond the file"},
        {offsetof(U_EMRHEADER, nBytes), 20, "byte count inside the header"},
        {offsetof(U_EMRHEADER, szlDevice), 0, "no device width"},
        {offsetof(U_EMRHEADER, szlMillimeters) + 4, uint32_t(-5), "negative device height"},
        {offsetof(U_EMRHEADER, rclBounds), uint32_t(INT32_MIN), "bounds width beyond 32 bits"},
        {offsetof(U_EMRHEADER, rclFrame) + 12, uint32_t(INT32_MAX), "frame height beyond 32 bits"},
    };
    for (const Patch& patch : patches) {
        QByteArray bytes = good;
        WriteU32(bytes, patch.offset, patch.value);
        EXPECT_FALSE(Metafile::FromBytes(bytes)) << patch.what;
    }
}

TEST(MetafileLoadTest, RecordsThatLeaveTheFileOrTheirSizeFail)
{
    const QByteArray good = SmallFile();
    const qsizetype polyline = RecordOffsets(good)[kPolylineRecord];
    for (const uint32_t size : {0u, 4u, 30u, 34u, 4000u, 0xFFFFFFF0u}) {
        QByteArray bytes = good;
        WriteU32(bytes, polyline + offsetof(U_EMR, nSize), size);
        EXPECT_FALSE(Metafile::FromBytes(bytes)) << "record size " << size;
    }
    for (const uint32_t count : {2u, 1000u, 0xFFFFFFFFu}) {
        QByteArray bytes = good;
        WriteU32(bytes, polyline + kCountOffset, count);
        EXPECT_FALSE(Metafile::FromBytes(bytes)) << "point count " << count;
    }
}

// libUEMF multiplies the point count by the point size in int and casts the product to int, so a
// count of 2^29 + 1 passes its check as one point; read as a count it would run far past the record.
TEST(MetafileLoadTest, RegressionPointCountThatWrapsInTheLibraryCheckFails)
{
    QByteArray bytes = SmallFile();
    const qsizetype polyline = RecordOffsets(bytes)[kPolylineRecord];
    WriteU32(bytes, polyline + kCountOffset, (1u << 29) + 1);
    std::vector<uint32_t> aligned(size_t(bytes.size()) / 4);
    std::memcpy(aligned.data(), bytes.constData(), aligned.size() * 4);
    EXPECT_TRUE(U_emf_record_safe(reinterpret_cast<const char*>(aligned.data()) + polyline))
        << "the library's own check lets it through";
    EXPECT_FALSE(Metafile::FromBytes(bytes));
}

TEST(MetafileLoadTest, PolyPolygonCountsMustAddUpToItsPoints)
{
    EmfWriter emf(10, 10);
    const U_POINTL points[] = {{0, 0}, {4, 0}, {4, 4}, {5, 5}, {9, 5}, {9, 9}};
    const uint32_t counts[] = {3, 3};
    emf.Add(U_EMRPOLYPOLYGON_set(U_RECTL{0, 0, 0, 0}, 2, counts, 6, points));
    const QByteArray good = emf.Finish();
    ASSERT_TRUE(Metafile::FromBytes(good));
    const qsizetype record = RecordOffsets(good)[1];
    QByteArray bytes = good;
    WriteU32(bytes, record + offsetof(U_EMRPOLYPOLYGON, aPolyCounts), 4); // 4 + 3 != 6
    EXPECT_FALSE(Metafile::FromBytes(bytes));
    bytes = good;
    WriteU32(bytes, record + offsetof(U_EMRPOLYPOLYGON, nPolys), 0x40000001); // counts past the record
    EXPECT_FALSE(Metafile::FromBytes(bytes));
}

TEST(MetafileLoadTest, ObjectIndicesOutsideTheTableFail)
{
    EmfWriter emf(10, 10);
    emf.Select(emf.Brush(qRgb(0, 0, 0)));
    const QByteArray good = emf.Finish();
    ASSERT_TRUE(Metafile::FromBytes(good));
    const std::vector<qsizetype> offsets = RecordOffsets(good);
    const uint32_t slotCount = ReadU32(good, offsetof(U_EMRHEADER, nHandles)) & 0xFFFF;
    for (const uint32_t index : {0u, slotCount, 0x7FFFFFFFu}) {
        QByteArray bytes = good;
        WriteU32(bytes, offsets[1] + offsetof(U_EMRCREATEBRUSHINDIRECT, ihBrush), index);
        EXPECT_FALSE(Metafile::FromBytes(bytes)) << "created at " << index;
        bytes = good;
        WriteU32(bytes, offsets[2] + offsetof(U_EMRSELECTOBJECT, ihObject), index);
        EXPECT_FALSE(Metafile::FromBytes(bytes)) << "selected " << index;
    }
    QByteArray stock = good;
    WriteU32(stock, offsets[2] + offsetof(U_EMRSELECTOBJECT, ihObject), U_STOCK_OBJECT | 0x7FFF);
    EXPECT_TRUE(Metafile::FromBytes(stock)) << "an unknown stock object is selected as nothing";
}

TEST(MetafileLoadTest, ExtendedPenStyleEntriesMustFitTheRecord)
{
    EmfWriter emf(10, 10);
    emf.ExtendedPen(U_PS_USERSTYLE | U_PS_GEOMETRIC, 2, 0xFF000000, {3, 1});
    const QByteArray good = emf.Finish();
    ASSERT_TRUE(Metafile::FromBytes(good));
    const qsizetype entries = RecordOffsets(good)[1] + offsetof(U_EMREXTCREATEPEN, elp)
        + offsetof(U_EXTLOGPEN, elpNumEntries);
    for (const uint32_t count : {3u, 0x40000001u}) {
        QByteArray bytes = good;
        WriteU32(bytes, entries, count);
        EXPECT_FALSE(Metafile::FromBytes(bytes)) << count << " entries";
    }
}

TEST(MetafileLoadTest, UnknownRecordsCommentsAndBytesAfterTheEndAreSkipped)
{
    EmfWriter emf(10, 10);
    const char comment[] = "made by a test";
    emf.Add(U_EMRCOMMENT_set(sizeof(comment), comment));
    // A record type no version of the format defines, with a body.
    char* unknown = static_cast<char*>(malloc(16));
    const uint32_t words[] = {200, 16, 0xDEADBEEF, 7};
    std::memcpy(unknown, words, sizeof(words));
    emf.Add(unknown);
    emf.Select(emf.Brush(qRgb(255, 0, 0))).Select(U_NULL_PEN);
    emf.Add(U_EMRRECTANGLE_set(U_RECTL{0, 0, 10, 10}));
    QByteArray bytes = emf.Finish();
    bytes.append(QByteArray(64, '\x55')); // not part of the metafile by its byte count
    const auto metafile = Metafile::FromBytes(bytes);
    ASSERT_TRUE(metafile);
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    QPainter painter(&image);
    metafile->Play(painter, QRectF(0, 0, 10, 10));
    EXPECT_EQ(image.pixel(5, 5), qRgb(255, 0, 0));
}

TEST(MetafileLoadTest, FileLargerThanTheLimitIsNotRead)
{
    QTemporaryDir dir;
    QFile file(dir.filePath("huge.emf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    const QByteArray start = SmallFile();
    file.write(start);
    ASSERT_TRUE(file.resize(Metafile::kMaxBytes + 1)); // a valid metafile followed by zeros
    file.close();
    EXPECT_FALSE(Metafile::FromFile(file.fileName()));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(Metafile::kMaxBytes));
    file.close();
    EXPECT_TRUE(Metafile::FromFile(file.fileName()));
    QByteArray bytes = start;
    bytes.resize(Metafile::kMaxBytes + 1, '\0');
    EXPECT_FALSE(Metafile::FromBytes(bytes));
}

} // namespace
