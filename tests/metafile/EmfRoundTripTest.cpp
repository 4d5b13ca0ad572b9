#include "EmfTestSupport.h"
#include "TempDir.h"
#include "metafile/EmfPaintDevice.h"
#include "metafile/EmfPicture.h"

#include <QFontMetricsF>
#include <QPainter>

#include <uemf.h>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void boxes(QPainter& p)
{
    p.fillRect(QRect(0, 0, 100, 50), Qt::white);
    p.fillRect(QRect(20, 10, 20, 10), Qt::red);
    p.fillRect(QRect(60, 30, 30, 15), Qt::blue);
}

} // namespace

TEST(EmfRoundTrip, ReplayMatchesDirectRenderingWithinAFewPixels)
{
    const QImage direct = renderDirect(ChartScene::size, drawChartScene);
    const QImage played = playToImage(writeEmf(ChartScene::size, drawChartScene), ChartScene::size);
    // Coordinates are kept to a tenth of a pixel, so a few edge pixels land
    // one pixel off; nothing may be missing or misplaced by more than that.
    EXPECT_LT(differingShare(direct, played), 0.01);
    EXPECT_LT(worstTile(direct, played), 0.03);
}

TEST(EmfRoundTrip, StretchesIntoTheTargetWithoutKeepingTheAspectRatio)
{
    const QByteArray file = writeEmf(QSize(100, 50), boxes);
    EmfPicture picture;
    ASSERT_TRUE(picture.load(file));
    EXPECT_EQ(picture.bounds(), QRect(QPoint(0, 0), QPoint(999, 499)));

    QImage image(500, 200, QImage::Format_RGB32);
    image.fill(Qt::green);
    QPainter painter(&image);
    // Three times as wide, as high as the original: x * 3 + 100, y + 50.
    ASSERT_TRUE(picture.play(&painter, QRectF(100, 50, 300, 50)));
    painter.end();
    EXPECT_EQ(image.pixel(100 + 30 * 3, 50 + 15), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(100 + 21 * 3, 50 + 11), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(100 + 42 * 3, 50 + 15), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(100 + 75 * 3, 50 + 37), qRgb(0, 0, 255));
    // Nothing outside the target.
    EXPECT_EQ(image.pixel(99, 75), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(400, 75), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(250, 49), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(250, 100), qRgb(0, 255, 0));
}

TEST(EmfRoundTrip, StretchedTextKeepsItsPlaceAlongTheStretch)
{
    const auto label = [](QPainter& p) {
        p.fillRect(QRect(0, 0, 200, 40), Qt::white);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(20);
        p.setFont(font);
        p.setPen(Qt::black);
        p.drawText(QPointF(100, 30), QStringLiteral("MMMM"));
    };
    QImage image(400, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    EmfPicture picture;
    ASSERT_TRUE(picture.load(writeEmf(QSize(200, 40), label)));
    QPainter painter(&image);
    picture.play(&painter, QRectF(0, 0, 400, 40));
    painter.end();
    // The text starts at 200 and, twice as wide, reaches well past 300.
    int left = image.width();
    int right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != qRgb(255, 255, 255)) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_NEAR(left, 200, 6);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(20);
    const double naturalWidth = QFontMetricsF(font).horizontalAdvance(QStringLiteral("MMMM"));
    EXPECT_GT(right - left, naturalWidth);
}

// An upright axis title runs down the page: a picture stretched across keeps
// the title's length (the vertical scale) and widens its glyphs instead. The
// chart clips every title to its own box, so a title laid out along the wrong
// scale lost its end on a landscape page ("Distance" printed as "Distar").
TEST(EmfRoundTrip, UprightTextFollowsTheScaleAlongItsBaseline)
{
    const auto title = [](QPainter& p) {
        p.fillRect(QRect(0, 0, 60, 200), Qt::white);
        QFont font(QStringLiteral("DejaVu Sans"));
        font.setPixelSize(20);
        p.setFont(font);
        p.setPen(Qt::black);
        p.translate(40, 150);
        p.rotate(-90);
        p.drawText(QPointF(0, 0), QStringLiteral("Distance"));
    };
    EmfPicture picture;
    ASSERT_TRUE(picture.load(writeEmf(QSize(60, 200), title)));
    const auto inkExtent = [&](double sx) {
        QImage image(int(60 * sx), 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter painter(&image);
        picture.play(&painter, QRectF(0, 0, 60 * sx, 200));
        painter.end();
        QRect ink;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    ink |= QRect(x, y, 1, 1);
        return ink;
    };
    const QRect plain = inkExtent(1.0);
    ASSERT_GT(plain.height(), 60);
    for (const double sx : {2.0, 0.5}) {
        const QRect stretched = inkExtent(sx);
        SCOPED_TRACE(sx);
        // Its length down the page and its place stay; its glyphs grow or shrink across.
        EXPECT_NEAR(stretched.top(), plain.top(), 3);
        EXPECT_NEAR(stretched.height(), plain.height(), 4);
        EXPECT_NEAR(stretched.width(), plain.width() * sx, 4 + 0.15 * plain.width() * sx);
    }
}

TEST(EmfRoundTrip, PlayLeavesThePainterAndItsClipAsFound)
{
    EmfPicture picture;
    ASSERT_TRUE(picture.load(writeEmf(ChartScene::size, drawChartScene)));
    QImage image(ChartScene::size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setClipRect(QRect(0, 0, 200, 522));
    painter.setPen(QPen(Qt::magenta, 3));
    ASSERT_TRUE(picture.play(&painter, QRectF(QPointF(0, 0), ChartScene::size)));
    EXPECT_EQ(painter.pen(), QPen(Qt::magenta, 3));
    EXPECT_EQ(painter.clipBoundingRect(), QRectF(0, 0, 200, 522));
    painter.end();
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 200; x < image.width(); x += 7)
            ASSERT_EQ(image.pixel(x, y), qRgb(255, 255, 255)) << "drawn outside the caller's clip at " << x << "," << y;
}

namespace {

// Rows of column x in colour, top to bottom.
int rowsIn(const QImage& image, int x, QRgb colour)
{
    int rows = 0;
    for (int y = 0; y < image.height(); ++y)
        rows += image.pixel(x, y) == colour;
    return rows;
}

QByteArray extPen(uint32_t index, uint32_t style, uint32_t width, uint32_t brushStyle, uint32_t colour)
{
    return record(U_EMR_EXTCREATEPEN, {index, 0, 0, 0, 0, style, width, brushStyle, colour, 0, 0});
}

// A horizontal line across the middle of craft()'s 100 x 100 picture.
QByteArray middleLine()
{
    return record(U_EMR_POLYLINE16, {10, 50, 90, 50, 2, 10u | 50u << 16, 90u | 50u << 16});
}

} // namespace

TEST(EmfRoundTrip, WrittenLinesKeepTheirWidthWhenStretched)
{
    const QByteArray file = writeEmf(QSize(100, 50), [](QPainter& p) {
        p.fillRect(QRect(0, 0, 100, 50), Qt::white);
        p.setPen(QPen(Qt::blue, 2));
        p.drawLine(QLineF(10, 20, 90, 20));
        p.setPen(QPen(Qt::red, 1));
        p.drawLine(QLineF(10, 35, 90, 35));
    });
    const QImage played = playToImage(file, QSize(300, 150));
    EXPECT_EQ(rowsIn(played, 150, qRgb(0, 0, 255)), 6) << "two pixels, three times as high";
    EXPECT_EQ(rowsIn(played, 150, qRgb(255, 0, 0)), 3);
}

TEST(EmfRoundTrip, ExtendedPensOfOtherWritersDrawAsTheFormatSays)
{
    // Geometric: ten units of a 100-unit picture, stretched to 300 pixels.
    const QImage geometric =
        playToImage(craft({extPen(1, U_PS_GEOMETRIC | U_PS_SOLID | U_PS_ENDCAP_FLAT, 10, U_BS_SOLID, 0xff0000),
                           record(U_EMR_SELECTOBJECT, {1}), middleLine()}),
                    QSize(300, 300));
    EXPECT_EQ(rowsIn(geometric, 150, qRgb(0, 0, 255)), 30);
    // Cosmetic: one pixel, whatever width it states.
    const QImage cosmetic = playToImage(craft({extPen(1, U_PS_COSMETIC | U_PS_SOLID, 10, U_BS_SOLID, 0xff0000),
                                               record(U_EMR_SELECTOBJECT, {1}), middleLine()}),
                                        QSize(300, 300));
    EXPECT_EQ(rowsIn(cosmetic, 150, qRgb(0, 0, 255)), 1);
    // A hollow brush strokes nothing.
    const QImage hollow = playToImage(craft({extPen(1, U_PS_GEOMETRIC | U_PS_SOLID, 10, U_BS_NULL, 0xff0000),
                                             record(U_EMR_SELECTOBJECT, {1}), middleLine()}),
                                      QSize(300, 300));
    EXPECT_EQ(rowsIn(hollow, 150, qRgb(255, 255, 255)), 300);
}

TEST(EmfRoundTrip, RefusesToPlayWithoutPictureOrTarget)
{
    EmfPicture empty;
    QImage image(10, 10, QImage::Format_RGB32);
    QPainter painter(&image);
    EXPECT_FALSE(empty.play(&painter, QRectF(0, 0, 10, 10)));
    EmfPicture picture;
    ASSERT_TRUE(picture.load(writeEmf(QSize(10, 10), boxes)));
    EXPECT_FALSE(picture.play(&painter, QRectF(0, 0, 0, 10)));
    EXPECT_FALSE(picture.play(&painter, QRectF(0, 0, qInf(), 10)));
    EXPECT_FALSE(picture.play(nullptr, QRectF(0, 0, 10, 10)));
    painter.end();
    EXPECT_FALSE(picture.play(&painter, QRectF(0, 0, 10, 10)));
}

TEST(EmfFile, SavedFileLoadsBackAndReplacesAnOlderOne)
{
    TempDir dir;
    const std::string path = dir.file("WaveChrt.EMF");
    writeWholeFile(path, "an older picture");
    EmfPaintDevice device(ChartScene::size);
    {
        QPainter painter(&device);
        drawChartScene(painter);
    }
    const IoResult saved = device.save(QString::fromStdString(path));
    ASSERT_TRUE(saved.ok) << saved.reason;
    EXPECT_EQ(readWholeFile(path), device.data().toStdString());
    EXPECT_EQ(listDirectory(dir.path()), "WaveChrt.EMF") << "no temporary file left behind";
    EmfPicture picture;
    const IoResult loaded = picture.loadFile(QString::fromStdString(path));
    EXPECT_TRUE(loaded.ok) << loaded.reason;
    EXPECT_FALSE(picture.isNull());
}

TEST(EmfFile, AFailedSaveLeavesTheOldFileAndSaysWhy)
{
    TempDir dir;
    EmfPaintDevice device(QSize(20, 20));
    {
        QPainter painter(&device);
        boxes(painter);
    }
    const IoResult noDir = device.save(QString::fromStdString(dir.file("missing/WaveChrt.EMF")));
    EXPECT_FALSE(noDir.ok);
    EXPECT_EQ(noDir.error, ENOENT);
    EXPECT_FALSE(noDir.reason.empty());

    const std::string path = dir.file("WaveChrt.EMF");
    writeWholeFile(path, "kept");
    ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
    const IoResult readOnly = device.save(QString::fromStdString(path));
    EXPECT_FALSE(readOnly.ok);
    EXPECT_EQ(readOnly.error, EACCES);
    EXPECT_EQ(readWholeFile(path), "kept");
    EXPECT_EQ(listDirectory(dir.path()), "WaveChrt.EMF");
}

TEST(EmfFile, NothingPaintedIsNothingSaved)
{
    TempDir dir;
    EmfPaintDevice device(QSize(20, 20));
    const IoResult r = device.save(QString::fromStdString(dir.file("WaveChrt.EMF")));
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.reason, "nothing has been painted");
    EXPECT_EQ(listDirectory(dir.path()), "");
}

TEST(EmfFile, AFileThatCannotBeReadIsReportedWithTheSystemReason)
{
    TempDir dir;
    EmfPicture picture;
    ASSERT_TRUE(picture.load(writeEmf(QSize(10, 10), boxes)));
    const IoResult missing = picture.loadFile(QString::fromStdString(dir.file("WaveChrt.EMF")));
    EXPECT_EQ(missing.error, ENOENT);
    EXPECT_EQ(missing.reason, "No such file or directory");
    EXPECT_TRUE(picture.isNull()) << "a failed load must not leave the previous picture to be printed";
    EXPECT_EQ(picture.loadFile(QString::fromStdString(dir.path().string())).reason, "Is a directory");
    // A pipe by that name must not leave the reader waiting for a writer.
    ASSERT_EQ(::mkfifo(dir.file("pipe.EMF").c_str(), 0600), 0);
    EXPECT_EQ(picture.loadFile(QString::fromStdString(dir.file("pipe.EMF"))).reason, "not a regular file");
    // Refused by its size, before anything is read.
    writeWholeFile(dir.file("huge.EMF"), "");
    ASSERT_EQ(::truncate(dir.file("huge.EMF").c_str(), 17 * 1024 * 1024), 0);
    const IoResult huge = picture.loadFile(QString::fromStdString(dir.file("huge.EMF")));
    EXPECT_NE(huge.reason.find("larger than"), std::string::npos) << huge.reason;
}
