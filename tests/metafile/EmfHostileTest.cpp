#include "EmfTestSupport.h"
#include "metafile/EmfPicture.h"

#include <QPainter>

#include <uemf.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

QByteArray smallPicture()
{
    return writeEmf(QSize(40, 30), [](QPainter& p) {
        p.fillRect(QRect(0, 0, 40, 30), Qt::white);
        p.setPen(Qt::blue);
        p.drawLine(2, 2, 30, 20);
        p.drawLine(30, 20, 38, 4);
        p.setClipRect(QRect(1, 1, 30, 20));
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(9);
        p.setFont(font);
        p.drawText(QPointF(3, 25), QStringLiteral("kN"));
        p.setBrush(Qt::red);
        p.drawEllipse(QRectF(20, 5, 8, 8));
    });
}

RecordInfo firstOf(const QByteArray& file, uint32_t type)
{
    for (const RecordInfo& r : walkRecords(file))
        if (r.type == type)
            return r;
    ADD_FAILURE() << "no record of type " << type;
    return {0, 0, 0};
}

// A refused file leaves nothing to draw and says why.
void expectRefused(const QByteArray& bytes, const char* mention = nullptr)
{
    EmfPicture picture;
    const IoResult r = picture.load(bytes);
    EXPECT_FALSE(r.ok);
    EXPECT_FALSE(r.reason.empty());
    if (mention) {
        EXPECT_NE(r.reason.find(mention), std::string::npos) << r.reason;
    }
    EXPECT_TRUE(picture.isNull());
    QImage image(8, 8, QImage::Format_RGB32);
    QPainter painter(&image);
    EXPECT_FALSE(picture.play(&painter, QRectF(0, 0, 8, 8)));
}

} // namespace

TEST(EmfHostile, CraftedFilesOfTheRightShapeLoad)
{
    // Guards the helpers below: a crafted file is refused for its flaw alone.
    EmfPicture picture;
    const IoResult r = picture.load(craft({record(U_EMR_CREATEPEN, {1, 0, 10, 0, 0x0000ff}),
                                           record(U_EMR_SELECTOBJECT, {1}), record(U_EMR_DELETEOBJECT, {1})}));
    EXPECT_TRUE(r.ok) << r.reason;
}

TEST(EmfHostile, EveryTruncationIsRefused)
{
    const QByteArray file = smallPicture();
    for (qsizetype length = 0; length < file.size(); ++length) {
        SCOPED_TRACE(length);
        expectRefused(file.left(length));
    }
}

TEST(EmfHostile, RecordSizesBeyondTheFileAreRefused)
{
    const QByteArray file = smallPicture();
    const RecordInfo line = firstOf(file, U_EMR_POLYLINE16);
    for (uint32_t size : {uint32_t(file.size() - line.offset + 4), 0xfffffffcu, 0x80000000u}) {
        QByteArray bad = file;
        setFieldAt<uint32_t>(bad, line.offset + 4, size);
        expectRefused(bad, "runs past the end");
    }
}

TEST(EmfHostile, ZeroAndMisalignedSizesAreRefused)
{
    const QByteArray file = smallPicture();
    const RecordInfo line = firstOf(file, U_EMR_POLYLINE16);
    for (uint32_t size : {0u, 4u, 6u, line.size + 2}) {
        QByteArray bad = file;
        setFieldAt<uint32_t>(bad, line.offset + 4, size);
        expectRefused(bad, "impossible record size");
    }
}

TEST(EmfHostile, ObjectIndicesOutsideTheTableAreRefused)
{
    for (uint32_t index : {0u, 4u, 0xffffu, 0x7fffffffu}) {
        SCOPED_TRACE(index);
        expectRefused(craft({record(U_EMR_CREATEPEN, {index, 0, 10, 0, 0})}), "outside the object table");
        expectRefused(craft({record(U_EMR_CREATEBRUSHINDIRECT, {index, 0, 0, 0})}), "outside the object table");
        expectRefused(craft({record(U_EMR_SELECTOBJECT, {index})}), "outside the object table");
        expectRefused(craft({record(U_EMR_DELETEOBJECT, {index})}), "outside the object table");
    }
    // The writer's own file, with its font's index raised past the table.
    QByteArray file = smallPicture();
    const RecordInfo font = firstOf(file, U_EMR_EXTCREATEFONTINDIRECTW);
    setFieldAt<uint32_t>(file, font.offset + 8, 0xfffffff0u);
    expectRefused(file, "outside the object table");
}

TEST(EmfHostile, ExtendedPensReachingOutsideTheirRecordAreRefused)
{
    // index, bitmap info offset and size, bitmap offset and size, style,
    // width, brush style, colour, hatch, style entry count, entries...
    const auto pen = [](std::initializer_list<uint32_t> words) { return craft({record(U_EMR_EXTCREATEPEN, words)}); };
    EmfPicture picture;
    const IoResult good = picture.load(pen({1, 0, 0, 0, 0, U_PS_GEOMETRIC | U_PS_USERSTYLE, 10, 0, 0, 0, 2, 5, 5}));
    EXPECT_TRUE(good.ok) << "two style entries in place: " << good.reason;

    for (uint32_t index : {0u, 4u, 0xffffffffu})
        expectRefused(pen({index, 0, 0, 0, 0, U_PS_GEOMETRIC, 10, 0, 0, 0, 0}), "outside the object table");
    // Style entries the record does not hold, also counts whose size wraps in 32 bits.
    for (uint32_t entries : {2u, 3u, 0x40000001u, 0x80000000u, 0xffffffffu}) {
        SCOPED_TRACE(entries);
        expectRefused(pen({1, 0, 0, 0, 0, U_PS_GEOMETRIC | U_PS_USERSTYLE, 10, 0, 0, 0, entries, 5}), "pen runs past");
    }
    // A pattern bitmap, or its bits, outside the record.
    expectRefused(pen({1, 0xfffffff0u, 0x20, 0, 0, U_PS_GEOMETRIC, 10, 0, 0, 0, 0}), "pen runs past");
    expectRefused(pen({1, 52, 40, 0, 0, U_PS_GEOMETRIC, 10, 0, 0, 0, 0}), "pen runs past");
    expectRefused(pen({1, 0, 0, 0xfffffff0u, 0x20, U_PS_GEOMETRIC, 10, 0, 0, 0, 0}), "pen runs past");
    // Cut short before its style entry count.
    expectRefused(pen({1, 0, 0, 0, 0, U_PS_GEOMETRIC, 10, 0, 0, 0}), "pen runs past");
}

TEST(EmfHostile, CountsThatWouldWrapOrOverrunAreRefused)
{
    const QByteArray file = smallPicture();
    const RecordInfo line = firstOf(file, U_EMR_POLYLINE16);
    for (uint32_t count : {0x40000001u, 0xffffffffu, (line.size - 28) / 4 + 1}) {
        QByteArray bad = file;
        setFieldAt<uint32_t>(bad, line.offset + offsetof(U_EMRPOLYLINE16, cpts), count);
        expectRefused(bad);
    }
    // Figure counts that do not add up, or that claim more figures than fit.
    expectRefused(craft({record(U_EMR_POLYPOLYLINE16, {0, 0, 0, 0, 2, 3, 1, 1, 0, 0, 0})}), "add up");
    expectRefused(craft({record(U_EMR_POLYPOLYLINE16, {0, 0, 0, 0, 0x40000000u, 2, 1, 1, 0, 0})}));
    // Region rectangles beyond the region data.
    expectRefused(
        craft({record(U_EMR_EXTSELECTCLIPRGN, {48, U_RGN_COPY, 32, 1, 0x10000000u, 16, 0, 0, 9, 9, 0, 0, 9, 9})}));
}

TEST(EmfHostile, TextFieldsOutsideTheRecordAreRefused)
{
    const QByteArray file = smallPicture();
    const RecordInfo text = firstOf(file, U_EMR_EXTTEXTOUTW);
    const uint32_t e = text.offset + offsetof(U_EMREXTTEXTOUTW, emrtext);
    const uint32_t dxAt = text.offset + sizeof(U_EMREXTTEXTOUTW) + sizeof(U_RECTL);
    const std::vector<std::pair<uint32_t, uint32_t>> damage = {{e + offsetof(U_EMRTEXT, nChars), 0x7fffffffu},
                                                               {e + offsetof(U_EMRTEXT, nChars), 0x40000001u},
                                                               {e + offsetof(U_EMRTEXT, offString), text.size},
                                                               {e + offsetof(U_EMRTEXT, offString), 0xfffffffeu},
                                                               {dxAt, 0xfffffff0u},
                                                               {dxAt, text.size - 4}};
    for (const auto& [at, value] : damage) {
        QByteArray bad = file;
        setFieldAt<uint32_t>(bad, at, value);
        expectRefused(bad);
    }
    // A text record cut short right where its offsets would be read.
    QByteArray core = record(U_EMR_EXTTEXTOUTW, {0, 0, 0, 0, 1, 0, 0, 10, 10, 1, 56, 0});
    expectRefused(craft({core}), "too short");
}

TEST(EmfHostile, ThingsThatAreNotMetafilesAreRefused)
{
    expectRefused(QByteArray());
    expectRefused(QByteArray(200, '\0'));
    expectRefused(QByteArray("%PDF-1.4 this is not a picture at all, but it is long enough to be looked at......."
                             "................................................................................"));
    QByteArray file = smallPicture();
    QByteArray unsigned_ = file;
    setFieldAt<uint32_t>(unsigned_, offsetof(U_EMRHEADER, dSignature), 0x12345678u);
    expectRefused(unsigned_, "signature");
    QByteArray flat = file;
    setFieldAt<int32_t>(flat, offsetof(U_EMRHEADER, rclBounds) + 12, -1);
    expectRefused(flat, "no area");
    QByteArray huge = file;
    setFieldAt<int32_t>(huge, offsetof(U_EMRHEADER, rclBounds), INT32_MIN);
    expectRefused(huge, "out of range");
    QByteArray headless = file.mid(int(fieldAt<uint32_t>(file, 4)));
    expectRefused(headless, "no header");
}

TEST(EmfHostile, AFileWithoutItsEndIsRefused)
{
    QByteArray file = smallPicture();
    const RecordInfo eof = walkRecords(file).back();
    file.truncate(eof.offset);
    setFieldAt<uint32_t>(file, offsetof(U_EMRHEADER, nBytes), uint32_t(file.size()));
    expectRefused(file, "no end-of-file record");
}

TEST(EmfHostile, UnknownRecordsAreSkippedAndWhatFollowsTheEndIgnored)
{
    const QByteArray file = smallPicture();
    const RecordInfo eof = walkRecords(file).back();
    QByteArray extended = file.left(eof.offset) + record(200, {1, 2}) + record(U_EMR_GLSRECORD, {7}) +
                          file.mid(eof.offset) + QByteArray(64, '\xff');
    setFieldAt<uint32_t>(extended, offsetof(U_EMRHEADER, nBytes), uint32_t(extended.size()));
    EXPECT_EQ(playToImage(extended, QSize(40, 30)), playToImage(file, QSize(40, 30)));
}

TEST(EmfHostile, RandomDamageIsRefusedOrDrawnNeverFollowed)
{
    const QByteArray file = smallPicture();
    std::mt19937 random(20240611);
    QImage image(64, 48, QImage::Format_RGB32);
    int refused = 0;
    int drawn = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray bad = file;
        const int changes = 1 + int(random() % 4);
        for (int k = 0; k < changes; ++k) {
            const auto at = uint32_t(random() % uint32_t(bad.size() - 3));
            if (random() % 2)
                bad[at] = char(random());
            else // whole words hit sizes, counts and offsets
                setFieldAt<uint32_t>(bad, at & ~3u, random() % 3 ? uint32_t(random()) : 0xffffffffu - random() % 64);
        }
        EmfPicture picture;
        const IoResult r = picture.load(bad);
        QPainter painter(&image);
        if (r.ok) {
            ++drawn;
            EXPECT_TRUE(picture.play(&painter, QRectF(0, 0, 64, 48)));
        } else {
            ++refused;
            EXPECT_FALSE(r.reason.empty());
            EXPECT_FALSE(picture.play(&painter, QRectF(0, 0, 64, 48)));
        }
    }
    EXPECT_GT(refused, 100);
    EXPECT_GT(drawn, 100) << "damage to colours and coordinates leaves a file that still draws";
}
