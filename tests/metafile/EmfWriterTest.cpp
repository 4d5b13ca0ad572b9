#include "EmfTestSupport.h"
#include "metafile/EmfPaintDevice.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

#include <uemf.h>
#include <uemf_safe.h>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

struct TextRecord
{
    QString text;
    QPoint origin;
    int64_t advanceSum = 0;
    int32_t fontHeight = 0;
    int32_t escapement = 0;
};

// Follows the object table through the file as a reader would and collects
// the texts with the font that is selected when each is drawn.
std::vector<TextRecord> checkObjectsAndCollectTexts(const QByteArray& file, const std::vector<RecordInfo>& records)
{
    const uint16_t handles = fieldAt<uint16_t>(file, offsetof(U_EMRHEADER, nHandles));
    std::map<uint32_t, uint32_t> live; // index -> creating record type
    std::map<uint32_t, U_LOGFONT> fonts;
    std::map<uint32_t, uint32_t> selected; // object type -> index
    std::vector<TextRecord> texts;
    for (const RecordInfo& r : records) {
        const uint32_t index = fieldAt<uint32_t>(file, r.offset + 8);
        switch (r.type) {
        case U_EMR_CREATEPEN:
        case U_EMR_EXTCREATEPEN:
        case U_EMR_CREATEBRUSHINDIRECT:
        case U_EMR_EXTCREATEFONTINDIRECTW:
            EXPECT_GT(index, 0u);
            EXPECT_LT(index, handles) << "object index beyond the header's handle count";
            EXPECT_EQ(live.count(index), 0u) << "object " << index << " created twice";
            // Either kind of pen takes the place of the selected pen.
            live[index] = r.type == U_EMR_EXTCREATEPEN ? uint32_t{U_EMR_CREATEPEN} : r.type;
            if (r.type == U_EMR_EXTCREATEFONTINDIRECTW)
                fonts[index] = fieldAt<U_LOGFONT>(file, r.offset + 12);
            break;
        case U_EMR_SELECTOBJECT:
            if (index & U_STOCK_OBJECT) {
                const uint32_t kind = index == U_NULL_PEN || index == U_BLACK_PEN       ? U_EMR_CREATEPEN
                                      : index == U_NULL_BRUSH || index == U_WHITE_BRUSH ? U_EMR_CREATEBRUSHINDIRECT
                                                                                        : U_EMR_EXTCREATEFONTINDIRECTW;
                selected[kind] = index;
            } else {
                EXPECT_EQ(live.count(index), 1u) << "object " << index << " selected but not created";
                selected[live[index]] = index;
            }
            break;
        case U_EMR_DELETEOBJECT:
            EXPECT_EQ(live.count(index), 1u) << "object " << index << " deleted but not live";
            EXPECT_NE(selected[live[index]], index) << "object " << index << " deleted while selected";
            live.erase(index);
            break;
        case U_EMR_EXTTEXTOUTW: {
            TextRecord t;
            const uint32_t e = r.offset + offsetof(U_EMREXTTEXTOUTW, emrtext);
            t.origin = QPoint(fieldAt<int32_t>(file, e), fieldAt<int32_t>(file, e + 4));
            const uint32_t chars = fieldAt<uint32_t>(file, e + offsetof(U_EMRTEXT, nChars));
            const uint32_t stringAt = fieldAt<uint32_t>(file, e + offsetof(U_EMRTEXT, offString));
            const uint32_t dxAt = fieldAt<uint32_t>(file, r.offset + sizeof(U_EMREXTTEXTOUTW) + sizeof(U_RECTL));
            for (uint32_t i = 0; i < chars; ++i) {
                t.text.append(QChar(fieldAt<uint16_t>(file, r.offset + stringAt + 2 * i)));
                t.advanceSum += fieldAt<int32_t>(file, r.offset + dxAt + 4 * i);
            }
            const uint32_t font = selected[U_EMR_EXTCREATEFONTINDIRECTW];
            EXPECT_EQ(fonts.count(font), 1u) << "text drawn without a font of ours";
            t.fontHeight = fonts[font].lfHeight;
            t.escapement = fonts[font].lfEscapement;
            texts.push_back(t);
            break;
        }
        default:
            break;
        }
    }
    EXPECT_TRUE(live.empty()) << live.size() << " objects left undeleted at the end";
    return texts;
}

} // namespace

TEST(EmfWriter, EveryRecordIsWholeAndPassesLibraryCheck)
{
    const QByteArray file = writeEmf(ChartScene::size, drawChartScene);
    const std::vector<RecordInfo> records = walkRecords(file);
    ASSERT_GT(records.size(), 2u);
    for (const RecordInfo& r : records)
        EXPECT_TRUE(U_emf_record_safe(file.constData() + r.offset)) << "record type " << r.type << " at " << r.offset;

    EXPECT_EQ(records.front().type, uint32_t{U_EMR_HEADER});
    EXPECT_EQ(records.back().type, uint32_t{U_EMR_EOF});
    EXPECT_EQ(fieldAt<uint32_t>(file, offsetof(U_EMRHEADER, dSignature)), uint32_t{U_ENHMETA_SIGNATURE});
    EXPECT_EQ(fieldAt<uint32_t>(file, offsetof(U_EMRHEADER, nBytes)), uint32_t(file.size()));
    EXPECT_EQ(fieldAt<uint32_t>(file, offsetof(U_EMRHEADER, nRecords)), uint32_t(records.size()));
    // Ten units per pixel; bounds are inclusive, the frame is in 0.01 mm at 96 dpi.
    const U_RECTL bounds = fieldAt<U_RECTL>(file, offsetof(U_EMRHEADER, rclBounds));
    EXPECT_EQ(bounds.right, 7899);
    EXPECT_EQ(bounds.bottom, 5219);
    const U_RECTL frame = fieldAt<U_RECTL>(file, offsetof(U_EMRHEADER, rclFrame));
    EXPECT_EQ(frame.right, 20902 - 1);
    EXPECT_EQ(frame.bottom, 13811 - 1);
    // The end-of-file record repeats its own size last.
    const RecordInfo eof = records.back();
    EXPECT_EQ(fieldAt<uint32_t>(file, eof.offset + eof.size - 4), eof.size);
}

TEST(EmfWriter, ObjectsAreCreatedBeforeUseAndDeletedOnlyWhenDeselected)
{
    const QByteArray file = writeEmf(ChartScene::size, drawChartScene);
    checkObjectsAndCollectTexts(file, walkRecords(file));
}

TEST(EmfWriter, ManyColoursReuseASmallObjectTable)
{
    const QByteArray file = writeEmf(QSize(300, 300), [](QPainter& p) {
        for (int i = 0; i < 300; ++i) {
            p.setPen(QColor::fromHsv(i, 255, 255));
            p.setBrush(QColor::fromHsv(i, 128, 255));
            p.drawRect(QRectF(i, i % 7, 5, 5));
        }
    });
    const auto records = walkRecords(file);
    checkObjectsAndCollectTexts(file, records); // lifecycle and indices within the table
    int created = 0;
    int live = 0;
    int mostLive = 0;
    for (const RecordInfo& r : records) {
        if (r.type == U_EMR_EXTCREATEPEN || r.type == U_EMR_CREATEBRUSHINDIRECT) {
            ++created;
            mostLive = std::max(mostLive, ++live);
        }
        if (r.type == U_EMR_DELETEOBJECT)
            --live;
    }
    EXPECT_EQ(created, 600);
    EXPECT_LE(mostLive, 48);
    EXPECT_LE(fieldAt<uint16_t>(file, offsetof(U_EMRHEADER, nHandles)), 50);
}

TEST(EmfWriter, TouchingSegmentsOfOnePenBecomeOnePolyline)
{
    const QByteArray file = writeEmf(ChartScene::size, drawChartScene);
    int full = 0;
    int polylines = 0;
    for (const RecordInfo& r : walkRecords(file)) {
        if (r.type != U_EMR_POLYLINE16)
            continue;
        ++polylines;
        if (fieldAt<uint32_t>(file, r.offset + offsetof(U_EMRPOLYLINE16, cpts)) == ChartScene::points)
            ++full;
    }
    EXPECT_EQ(full, ChartScene::series) << "each series should be a single polyline of all its points";
    EXPECT_EQ(polylines, ChartScene::series + 4) << "plus the four grid lines, which do not touch";
    EXPECT_LT(file.size(), 60 * 1024);
}

TEST(EmfWriter, CoordinatesAreDevicePixelsTimesTen)
{
    const QByteArray file = writeEmf(QSize(100, 80), [](QPainter& p) {
        p.translate(10, 5); // the engine applies the painter's transform itself
        p.scale(2, 2);
        p.setPen(QPen(Qt::red, 1.5));
        p.drawLine(QLineF(0, 0, 20, 0.25));
    });
    const auto records = walkRecords(file);
    const auto line =
        std::find_if(records.begin(), records.end(), [](const RecordInfo& r) { return r.type == U_EMR_POLYLINE16; });
    ASSERT_NE(line, records.end());
    const uint32_t points = line->offset + offsetof(U_EMRPOLYLINE16, apts);
    EXPECT_EQ(fieldAt<int16_t>(file, points), 100);
    EXPECT_EQ(fieldAt<int16_t>(file, points + 2), 50);
    EXPECT_EQ(fieldAt<int16_t>(file, points + 4), 500);
    EXPECT_EQ(fieldAt<int16_t>(file, points + 6), 55);
    const auto pen =
        std::find_if(records.begin(), records.end(), [](const RecordInfo& r) { return r.type == U_EMR_EXTCREATEPEN; });
    ASSERT_NE(pen, records.end());
    const uint32_t elp = pen->offset + offsetof(U_EMREXTCREATEPEN, elp);
    EXPECT_EQ(fieldAt<uint32_t>(file, elp + offsetof(U_EXTLOGPEN, elpWidth)), 30u) << "a 1.5 pixel pen scaled by 2";
    EXPECT_EQ(fieldAt<U_COLORREF>(file, elp + offsetof(U_EXTLOGPEN, elpColor)).Red, 255);
}

TEST(EmfWriter, PensAreGeometricWithTheirScreenWidthCapAndJoin)
{
    // Readers that keep to the format draw a plain pen record one pixel wide;
    // every pen is an extended, geometric one as wide as the screen draws it.
    struct Case
    {
        QPen pen;
        double scale;
        uint32_t style;
        uint32_t units;
    };
    const std::vector<Case> cases = {
        {QPen(QColor(1, 0, 0), 1), 1, U_PS_SOLID | U_PS_ENDCAP_SQUARE | U_PS_JOIN_BEVEL, 10},
        {QPen(QColor(2, 0, 0), 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin), 1,
         U_PS_SOLID | U_PS_ENDCAP_FLAT | U_PS_JOIN_ROUND, 20},
        {QPen(QColor(3, 0, 0), 0), 4, U_PS_SOLID | U_PS_ENDCAP_SQUARE | U_PS_JOIN_BEVEL, 10}, // a hairline
        {QPen(QColor(4, 0, 0), 1, Qt::DashLine, Qt::RoundCap, Qt::MiterJoin), 3,
         U_PS_DASH | U_PS_ENDCAP_ROUND | U_PS_JOIN_MITER, 30},
    };
    QPen cosmetic(QColor(5, 0, 0), 2);
    cosmetic.setCosmetic(true);
    const QByteArray file = writeEmf(QSize(100, 80), [&](QPainter& p) {
        for (const Case& c : cases) {
            p.save();
            p.scale(c.scale, c.scale);
            p.setPen(c.pen);
            p.drawLine(QLineF(1, 1, 20, 10));
            p.restore();
        }
        p.scale(3, 3); // a cosmetic pen keeps its width under any scale
        p.setPen(cosmetic);
        p.drawLine(QLineF(1, 1, 20, 10));
    });
    std::map<int, std::pair<uint32_t, uint32_t>> written; // red -> style, width
    for (const RecordInfo& r : walkRecords(file)) {
        EXPECT_NE(r.type, uint32_t{U_EMR_CREATEPEN});
        if (r.type != U_EMR_EXTCREATEPEN)
            continue;
        const uint32_t elp = r.offset + offsetof(U_EMREXTCREATEPEN, elp);
        const auto pen = fieldAt<U_EXTLOGPEN>(file, elp);
        EXPECT_EQ(pen.elpBrushStyle, uint32_t{U_BS_SOLID});
        EXPECT_EQ(pen.elpNumEntries, 0u);
        EXPECT_EQ(fieldAt<uint32_t>(file, r.offset + offsetof(U_EMREXTCREATEPEN, cbBmi)), 0u) << "no pattern bitmap";
        written[pen.elpColor.Red] = {pen.elpPenStyle, pen.elpWidth};
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pen.color().red());
        ASSERT_EQ(written.count(c.pen.color().red()), 1u);
        EXPECT_EQ(written[c.pen.color().red()].first, U_PS_GEOMETRIC | c.style);
        EXPECT_EQ(written[c.pen.color().red()].second, c.units);
    }
    ASSERT_EQ(written.count(5), 1u);
    EXPECT_EQ(written[5].second, 20u) << "a cosmetic 2 pixel pen";
}

TEST(EmfWriter, AFilledPathIsMovedByThePaintersTransformOnce)
{
    // A chart item draws its background as a path in its own coordinates,
    // with its position in the painter's transform.
    const QByteArray file = writeEmf(QSize(100, 80), [](QPainter& p) {
        p.translate(30, 20);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::red);
        QPainterPath box;
        box.addRect(QRectF(0, 0, 10, 5));
        p.drawPath(box);
    });
    const auto records = walkRecords(file);
    const auto polygon =
        std::find_if(records.begin(), records.end(), [](const RecordInfo& r) { return r.type == U_EMR_POLYGON16; });
    ASSERT_NE(polygon, records.end());
    const U_RECTL bounds = fieldAt<U_RECTL>(file, polygon->offset + offsetof(U_EMRPOLYGON16, rclBounds));
    EXPECT_EQ(bounds.left, 300);
    EXPECT_EQ(bounds.top, 200);
    EXPECT_EQ(bounds.right, 400);
    EXPECT_EQ(bounds.bottom, 250);
    const uint32_t points = polygon->offset + offsetof(U_EMRPOLYGON16, apts);
    EXPECT_EQ(fieldAt<int16_t>(file, points), 300);
    EXPECT_EQ(fieldAt<int16_t>(file, points + 2), 200);
}

TEST(EmfWriter, FarPointsUse32BitRecords)
{
    // A zoomed chart puts points far outside the picture; they must not wrap.
    const QByteArray file = writeEmf(QSize(100, 80), [](QPainter& p) {
        p.setPen(Qt::black);
        p.drawLine(QLineF(-5000, 10, 50, 10));
    });
    bool found = false;
    for (const RecordInfo& r : walkRecords(file)) {
        if (r.type == U_EMR_POLYLINE) {
            found = true;
            EXPECT_EQ(fieldAt<int32_t>(file, r.offset + offsetof(U_EMRPOLYLINE, aptl)), -50000);
        }
        EXPECT_NE(r.type, uint32_t{U_EMR_POLYLINE16});
    }
    EXPECT_TRUE(found);
}

TEST(EmfWriter, TextCarriesEmHeightRotationAndAdvances)
{
    const QByteArray file = writeEmf(ChartScene::size, drawChartScene);
    const std::vector<TextRecord> texts = checkObjectsAndCollectTexts(file, walkRecords(file));
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    const double width = QFontMetricsF(font).horizontalAdvance(QString::fromLatin1(ChartScene::axisTitle));
    bool sawTitle = false;
    int labels = 0;
    for (const TextRecord& t : texts) {
        EXPECT_EQ(t.fontHeight, -130) << "a 13 pixel font is an em height of -130 units";
        if (t.text == QLatin1String(ChartScene::axisTitle)) {
            sawTitle = true;
            EXPECT_EQ(t.escapement, 900) << "rotated by -90 degrees on screen";
            EXPECT_EQ(t.origin, QPoint(300, (ChartScene::plot.center().y() + 30) * 10));
            EXPECT_NEAR(double(t.advanceSum), width * 10, 2.0);
        } else if (t.text == QLatin1String(ChartScene::valueLabel)) {
            ++labels;
            EXPECT_EQ(t.escapement, 0);
        }
    }
    EXPECT_TRUE(sawTitle);
    EXPECT_EQ(labels, 6);
}

TEST(EmfWriter, ClipIsResetThenIntersectedOnlyWhenItChanges)
{
    const QByteArray file = writeEmf(ChartScene::size, drawChartScene);
    const auto records = walkRecords(file);
    std::vector<uint32_t> clipTypes;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const RecordInfo& r = records[i];
        if (r.type == U_EMR_EXTSELECTCLIPRGN) {
            EXPECT_EQ(r.size, 16u) << "a reset without region data";
            EXPECT_EQ(fieldAt<uint32_t>(file, r.offset + 12), uint32_t{U_RGN_COPY});
        }
        if (r.type == U_EMR_INTERSECTCLIPRECT) {
            ASSERT_GT(i, 0u);
            EXPECT_EQ(records[i - 1].type, uint32_t{U_EMR_EXTSELECTCLIPRGN});
            const U_RECTL clip = fieldAt<U_RECTL>(file, r.offset + 8);
            EXPECT_EQ(clip.left, 600);
            EXPECT_EQ(clip.top, 300);
            EXPECT_EQ(clip.right, 6600);
            EXPECT_EQ(clip.bottom, 4700);
        }
        if (r.type == U_EMR_EXTSELECTCLIPRGN || r.type == U_EMR_INTERSECTCLIPRECT)
            clipTypes.push_back(r.type);
    }
    // Set once for all twenty series, reset once after them.
    EXPECT_EQ(clipTypes,
              (std::vector<uint32_t>{U_EMR_EXTSELECTCLIPRGN, U_EMR_INTERSECTCLIPRECT, U_EMR_EXTSELECTCLIPRGN}));
}

TEST(EmfWriter, TransparencyAndGradientsBecomeWhatAMetafileCanHold)
{
    const QByteArray file = writeEmf(QSize(100, 100), [](QPainter& p) {
        p.setPen(QColor(0, 0, 0, 0)); // invisible: nothing to stroke
        p.setBrush(QColor(10, 20, 30, 128));
        p.drawRect(QRectF(10, 10, 20, 20));
        QLinearGradient g(0, 0, 100, 0);
        g.setColorAt(0, QColor(200, 100, 50));
        g.setColorAt(1, Qt::blue);
        p.setBrush(g);
        p.drawRect(QRectF(40, 10, 20, 20));
    });
    std::vector<U_LOGBRUSH> brushes;
    std::set<uint32_t> stockSelected;
    for (const RecordInfo& r : walkRecords(file)) {
        if (r.type == U_EMR_CREATEBRUSHINDIRECT)
            brushes.push_back(fieldAt<U_LOGBRUSH>(file, r.offset + offsetof(U_EMRCREATEBRUSHINDIRECT, lb)));
        if (r.type == U_EMR_SELECTOBJECT)
            stockSelected.insert(fieldAt<uint32_t>(file, r.offset + 8));
        EXPECT_NE(r.type, uint32_t{U_EMR_CREATEPEN});
        EXPECT_NE(r.type, uint32_t{U_EMR_EXTCREATEPEN});
    }
    ASSERT_EQ(brushes.size(), 2u);
    EXPECT_EQ(brushes[0].lbColor.Red, 10) << "half-transparent fill drawn opaque";
    EXPECT_EQ(brushes[1].lbColor.Red, 200) << "a gradient takes its first stop";
    EXPECT_EQ(brushes[1].lbStyle, uint32_t{U_BS_SOLID});
    EXPECT_TRUE(stockSelected.count(U_NULL_PEN));
}

TEST(EmfWriter, PaintingAgainStartsANewPicture)
{
    EmfPaintDevice device(QSize(50, 40));
    {
        QPainter p(&device);
        p.drawLine(0, 0, 10, 10);
    }
    const QByteArray first = device.data();
    {
        QPainter p(&device);
    }
    EXPECT_LT(device.data().size(), first.size());
    EXPECT_EQ(walkRecords(device.data()).back().type, uint32_t{U_EMR_EOF});
}

TEST(EmfWriter, ReportsA96DpiDeviceOfItsPixelSize)
{
    EmfPaintDevice device(QSize(790, 522));
    EXPECT_EQ(device.width(), 790);
    EXPECT_EQ(device.height(), 522);
    EXPECT_EQ(device.logicalDpiX(), 96);
    EXPECT_EQ(device.logicalDpiY(), 96);
    EXPECT_EQ(device.devicePixelRatio(), 1.0);
}

TEST(EmfWriter, APictureWithoutAreaIsReportedNotWritten)
{
    EmfPaintDevice device(QSize(0, 100));
    QPainter p(&device);
    EXPECT_FALSE(p.isActive());
    EXPECT_TRUE(device.data().isEmpty());
    EXPECT_EQ(device.errorString(), QStringLiteral("the picture has no area"));
}
