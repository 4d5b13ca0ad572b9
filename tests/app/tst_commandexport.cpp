// quorvex-dravel --export and --print-pdf, run as a user runs them: the built
// program in a process of its own, with no display to connect to.
#include "chart/SignatureChart.h"
#include "common/SystemError.h"
#include "display/ChartFile.h"
#include "display/WaveLoad.h"
#include "metafile/EmfPicture.h"
#include "samplegen/SampleSignature.h"

#include <QCategoryAxis>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <cmath>
#include <cstdlib>

namespace {

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

// Runs the program as from a terminal without a display: no DISPLAY, no
// WAYLAND_DISPLAY and no platform chosen, so it must choose one itself.
Run runDravel(const QStringList& args)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("DISPLAY"));
    env.remove(QStringLiteral("WAYLAND_DISPLAY"));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(QD_DRAVEL_EXE), args);
    if (!p.waitForFinished(120000))
        return {};
    Run r;
    r.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

// The output of a poppler tool on path, or a null string when it is missing.
QString poppler(const QString& tool, const QStringList& args)
{
    if (QStandardPaths::findExecutable(tool).isEmpty())
        return {};
    QProcess p;
    p.start(tool, args);
    p.waitForFinished(60000);
    return QString::fromLocal8Bit(p.readAllStandardOutput());
}

QString pdfText(const QString& path)
{
    return poppler(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
}

// The words of a PDF's first page where pdftotext finds them, and the page.
struct PdfWords
{
    QSizeF page;
    QList<QPair<QString, QRectF>> words;
    QRectF of(const QString& word) const
    {
        for (const auto& w : words)
            if (w.first == word)
                return w.second;
        return {};
    }
};

PdfWords pdfWords(const QString& path)
{
    PdfWords out;
    QXmlStreamReader xml(poppler(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), path, QStringLiteral("-")}));
    const auto number = [&](const char* name) { return xml.attributes().value(QLatin1String(name)).toDouble(); };
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        if (xml.name() == QLatin1String("page") && out.page.isEmpty()) {
            out.page = QSizeF(number("width"), number("height"));
        } else if (xml.name() == QLatin1String("word")) {
            const QRectF box(QPointF(number("xMin"), number("yMin")), QPointF(number("xMax"), number("yMax")));
            out.words.append({xml.readElementText(), box});
        }
    }
    return out;
}

QString pdfPageSize(const QString& path)
{
    const QString info = poppler(QStringLiteral("pdfinfo"), {path});
    for (const QString& line : info.split(QLatin1Char('\n')))
        if (line.startsWith(QLatin1String("Page size:")))
            return line.mid(10).trimmed();
    return {};
}

// One paper colour of each wave (1..5), chosen so that no other wave's curve,
// no text, grid or axis, and no blend of those on white comes near it: the
// black of wave 3's first channel and the greys would be found in any chart.
QList<QColor> waveColours(int waves)
{
    static constexpr int channel[] = {1, 1, 3, 3, 3};
    QList<QColor> colours;
    for (int w = 1; w <= waves; ++w)
        colours << SignatureChart::paperColour(SignatureChart::seriesIndex(w, channel[w - 1]));
    return colours;
}

// Pixels within a small distance of colour: the curves and legend swatches
// are antialiased, so only their cores have the exact colour.
int pixelsOf(const QImage& image, QColor colour)
{
    constexpr int Near = 12;
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            n += std::abs(c.red() - colour.red()) <= Near && std::abs(c.green() - colour.green()) <= Near &&
                         std::abs(c.blue() - colour.blue()) <= Near
                     ? 1
                     : 0;
        }
    return n;
}

// The stroke colours the SVG draws its lines (polylines and paths) in.
QSet<QRgb> svgLineColours(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QXmlStreamReader xml(&f);
    QList<QString> strokes{QString()};
    QSet<QRgb> found;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString stroke = xml.attributes().value(QLatin1String("stroke")).toString();
            strokes << (stroke.isEmpty() ? strokes.last() : stroke);
            if ((xml.name() == QLatin1String("polyline") || xml.name() == QLatin1String("path")) &&
                QColor::isValidColorName(strokes.last()))
                found << QColor::fromString(strokes.last()).rgb();
        } else if (xml.isEndElement()) {
            strokes.removeLast();
        }
    }
    return xml.hasError() ? QSet<QRgb>{} : found;
}

// The SVG's polylines that hold a whole curve: one line through all 448 points.
int svgWholeCurves(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    QXmlStreamReader xml(&f);
    int curves = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("polyline") &&
            xml.attributes().value(QLatin1String("points")).trimmed().split(QLatin1Char(' ')).size() == 448)
            ++curves;
    }
    return xml.hasError() ? -1 : curves;
}

} // namespace

class CommandExportTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void chartAsPng_data();
    void chartAsPng();
    void chartAsSvg_data();
    void chartAsSvg();
    void chartAsPdfBmpEmf();
    void printedPage_data();
    void printedPage();
    void moreThanFiveFilesDrawsFive();
    void unreadableFileStillWritesTheChart();
    void unwritableOutputLeavesNothing();
    void linkAtOutputIsReplacedNotFollowed();
    void outputNeverReplacesAnInput();
    void usageErrors_data();
    void usageErrors();
    void helpPrintsUsage();
    void chartFileAtAnotherSizeKeepsTheChart();
    void chartFileFailureKeepsTheChart();

private:
    QString out(const QString& name) const { return m_dir.filePath(name); }
    QStringList files(int count) const { return m_files.mid(0, count); }

    QTemporaryDir m_dir;
    QStringList m_files;
};

void CommandExportTest::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (std::uint32_t i = 1; i <= 6; ++i) {
        const SignatureRecord record = makeSampleSignature(i);
        QFile f(m_dir.filePath(QStringLiteral("H000%1").arg(i)));
        QVERIFY(f.open(QIODevice::WriteOnly));
        QCOMPARE(f.write(reinterpret_cast<const char*>(record.bytes.data()), qint64(record.bytes.size())),
                 qint64(record.bytes.size()));
        m_files << f.fileName();
    }
}

void CommandExportTest::chartAsPng_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QStringList>("sizeArgs");
    QTest::addColumn<QSize>("size");
    QTest::newRow("one file, the display's size") << 1 << QStringList() << QSize(790, 522);
    // Tall enough for the legend's twenty entries, which a lower chart cuts.
    QTest::newRow("five files, 700x560") << 5 << QStringList{QStringLiteral("--size"), QStringLiteral("700x560")}
                                         << QSize(700, 560);
    QTest::newRow("upper-case extension, 1200x800")
        << 2 << QStringList{QStringLiteral("--size"), QStringLiteral("1200X800")} << QSize(1200, 800);
}

void CommandExportTest::chartAsPng()
{
    QFETCH(int, count);
    QFETCH(QStringList, sizeArgs);
    QFETCH(QSize, size);
    const QString png = out(QStringLiteral("chart%1.%2").arg(count).arg(QLatin1String(count == 2 ? "PNG" : "png")));
    const Run r = runDravel(QStringList{QStringLiteral("--export"), png} + sizeArgs + files(count));
    QCOMPARE(r.status, 0);
    QImage image;
    QVERIFY(image.load(png, "PNG"));
    QCOMPARE(image.size(), size);
    // Paper, not the screen's dark background; each wave drawn in its paper
    // colour (its legend swatch at least), and no wave beyond those asked for.
    QCOMPARE(image.pixelColor(2, 2).rgb(), QColor(Qt::white).rgb());
    const QList<QColor> colours = waveColours(5);
    for (int w = 0; w < 5; ++w) {
        if (w < count)
            QVERIFY2(pixelsOf(image, colours[w]) > 8, qPrintable(QStringLiteral("wave %1 missing").arg(w + 1)));
        else
            QCOMPARE(pixelsOf(image, colours[w]), 0);
    }
}

void CommandExportTest::chartAsSvg_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("one file") << 1;
    QTest::newRow("five files") << 5;
}

void CommandExportTest::chartAsSvg()
{
    QFETCH(int, count);
    const QString svg = out(QStringLiteral("chart%1.svg").arg(count));
    QCOMPARE(runDravel(QStringList{QStringLiteral("--export"), svg} + files(count)).status, 0);
    const QSet<QRgb> lines = svgLineColours(svg);
    QVERIFY2(!lines.isEmpty(), "no lines, or not well-formed XML");
    const QList<QColor> colours = waveColours(5);
    for (int w = 0; w < 5; ++w)
        QCOMPARE(lines.contains(colours[w].rgb()), w < count);
    // Each curve is one line a reader can take for it, not 447 loose segments.
    QCOMPARE(svgWholeCurves(svg), 4 * count);
}

void CommandExportTest::chartAsPdfBmpEmf()
{
    const QString pdf = out(QStringLiteral("chart.pdf"));
    QCOMPARE(
        runDravel(QStringList{QStringLiteral("--export"), pdf, QStringLiteral("--size"), QStringLiteral("900x500")} +
                  files(3))
            .status,
        0);
    const QString text = pdfText(pdf);
    if (text.isNull())
        QSKIP("poppler-utils are not installed");
    QVERIFY(text.contains(QLatin1String("Angle (deg)")));
    QVERIFY(text.contains(QLatin1String("Wave 3 : Ch4")));
    QCOMPARE(pdfPageSize(pdf), QStringLiteral("900 x 500 pts"));

    const QString bmp = out(QStringLiteral("chart.bmp"));
    QCOMPARE(runDravel(QStringList{QStringLiteral("--export"), bmp} + files(2)).status, 0);
    QImage image;
    QVERIFY(image.load(bmp, "BMP"));
    QCOMPARE(image.size(), QSize(790, 522));
    QVERIFY(pixelsOf(image, waveColours(2)[1]) > 8);

    const QString emf = out(QStringLiteral("chart.emf"));
    QCOMPARE(runDravel(QStringList{QStringLiteral("--export"), emf} + files(2)).status, 0);
    EmfPicture picture;
    const IoResult loaded = picture.loadFile(emf);
    QVERIFY2(loaded.ok, loaded.reason.c_str());
}

void CommandExportTest::printedPage_data()
{
    QTest::addColumn<QStringList>("pageArgs");
    QTest::addColumn<QString>("pageSize");
    // pdfinfo names the page by its measures.
    QTest::newRow("A4 by default") << QStringList() << QStringLiteral("(A4)");
    QTest::newRow("Letter") << QStringList{QStringLiteral("--page-size"), QStringLiteral("Letter")}
                            << QStringLiteral("612 x 792 pts (letter)");
    QTest::newRow("A5, in lower case") << QStringList{QStringLiteral("--page-size"), QStringLiteral("a5")}
                                       << QStringLiteral("(A5)");
}

void CommandExportTest::printedPage()
{
    QFETCH(QStringList, pageArgs);
    QFETCH(QString, pageSize);
    const QString pdf = out(QStringLiteral("page.pdf"));
    const Run r = runDravel(QStringList{QStringLiteral("--print-pdf"), pdf, QStringLiteral("--title"),
                                        QStringLiteral("Die 7 morning check")} +
                            pageArgs + files(1));
    QCOMPARE(r.status, 0);
    const QString text = pdfText(pdf);
    if (text.isNull())
        QSKIP("poppler-utils are not installed");
    QVERIFY(text.contains(QLatin1String("Die 7 morning check")));
    QVERIFY(text.contains(QLatin1String("Printed by Quorvex Dravel")));
    QVERIFY(text.contains(QLatin1String("Angle (deg)")));
    QVERIFY(text.contains(QLatin1String("Date:")));
    QVERIFY2(pdfPageSize(pdf).endsWith(pageSize), qPrintable(pdfPageSize(pdf)));

    // Where the texts stand: the title at the top (centred on the page the
    // layout is designed for: it is centred by its length in characters, which
    // on a much smaller page stands right of the middle), the chart's axis
    // title below it, the notice at the foot, every word on the page.
    const PdfWords page = pdfWords(pdf);
    QVERIFY(!page.page.isEmpty());
    const QRectF title = page.of(QStringLiteral("Die")).united(page.of(QStringLiteral("check")));
    const QRectF axis = page.of(QStringLiteral("Angle"));
    const QRectF notice = page.of(QStringLiteral("Printed"));
    QVERIFY(!title.isEmpty() && !axis.isEmpty() && !notice.isEmpty());
    if (pageArgs.isEmpty())
        QVERIFY2(
            std::abs(title.center().x() - page.page.width() / 2) < page.page.width() * 0.05,
            qPrintable(
                QStringLiteral("title centre %1 on a page %2 wide").arg(title.center().x()).arg(page.page.width())));
    QVERIFY(title.bottom() < page.page.height() * 0.2);
    QVERIFY(title.bottom() < axis.top());
    QVERIFY(axis.bottom() < notice.top());
    QVERIFY(notice.top() > page.page.height() * 0.85);
    for (const auto& w : page.words)
        QVERIFY2(QRectF(QPointF(0, 0), page.page).contains(w.second), qPrintable(w.first));
}

void CommandExportTest::moreThanFiveFilesDrawsFive()
{
    const QString png = out(QStringLiteral("six.png"));
    const Run r = runDravel(QStringList{QStringLiteral("--export"), png} + files(6));
    QCOMPARE(r.status, 0);
    QVERIFY(r.err.contains(QLatin1String("the first 5")));
    QImage image;
    QVERIFY(image.load(png));
    QVERIFY(pixelsOf(image, waveColours(5)[4]) > 8);
}

void CommandExportTest::unreadableFileStillWritesTheChart()
{
    const QString missing = out(QStringLiteral("H-missing"));
    const QString png = out(QStringLiteral("partial.png"));
    const QString pdf = out(QStringLiteral("partial-page.pdf"));
    const Run r = runDravel(
        {QStringLiteral("--export"), png, QStringLiteral("--print-pdf"), pdf, m_files[0], missing, m_files[2]});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains(missing));
    QImage image;
    QVERIFY(image.load(png));
    const QList<QColor> colours = waveColours(3);
    QVERIFY(pixelsOf(image, colours[0]) > 8);
    QCOMPARE(pixelsOf(image, colours[1]), 0);
    QVERIFY(pixelsOf(image, colours[2]) > 8);
    const QString text = pdfText(pdf);
    if (!text.isNull())
        QVERIFY(text.contains(QLatin1String("could not be read")));
}

void CommandExportTest::unwritableOutputLeavesNothing()
{
    // A folder that does not exist, and a name taken by a folder.
    const QString inMissingDir = out(QStringLiteral("no-such-dir/chart.png"));
    Run r = runDravel({QStringLiteral("--export"), inMissingDir, m_files[0]});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains(inMissingDir));
    QVERIFY(!QFileInfo::exists(inMissingDir));

    const QString dirNamed = out(QStringLiteral("taken.pdf"));
    QVERIFY(QDir().mkpath(dirNamed));
    r = runDravel({QStringLiteral("--print-pdf"), dirNamed, m_files[0]});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains(dirNamed));
    QVERIFY(QFileInfo(dirNamed).isDir());
    QVERIFY(QDir(dirNamed).isEmpty());
    // Nothing half-written is left beside it either.
    const QStringList strays = QDir(m_dir.path()).entryList({QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    QVERIFY2(strays.isEmpty(), qPrintable(strays.join(QLatin1Char(' '))));
}

void CommandExportTest::linkAtOutputIsReplacedNotFollowed()
{
    // A link planted at the output's name in a shared folder must not make
    // the program overwrite the file it points to.
    const QString victim = out(QStringLiteral("victim.txt"));
    {
        QFile f(victim);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("keep me");
    }
    for (const QString& name : {QStringLiteral("linked.png"), QStringLiteral("linked-page.pdf")}) {
        const QString link = out(name);
        QVERIFY(QFile::link(victim, link));
        const QString option =
            name.endsWith(QLatin1String(".pdf")) ? QStringLiteral("--print-pdf") : QStringLiteral("--export");
        QCOMPARE(runDravel({option, link, m_files[0]}).status, 0);
        QVERIFY(!QFileInfo(link).isSymLink());
        QVERIFY(QFileInfo(link).size() > 1000);
        QFile f(victim);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("keep me"));
    }
}

void CommandExportTest::outputNeverReplacesAnInput()
{
    // A signature file named as the output (here one with a picture's name)
    // keeps its record; the other output is still written.
    const QString input = out(QStringLiteral("H-input.png"));
    QVERIFY(QFile::copy(m_files[0], input));
    const QString pdf = out(QStringLiteral("beside-input.pdf"));
    const Run r = runDravel({QStringLiteral("--export"), input, QStringLiteral("--print-pdf"), pdf, input});
    QCOMPARE(r.status, 1);
    QVERIFY(r.err.contains(input));
    QCOMPARE(QFileInfo(input).size(), QFileInfo(m_files[0]).size());
    QVERIFY(QFileInfo(pdf).size() > 1000);
}

void CommandExportTest::usageErrors_data()
{
    QTest::addColumn<QStringList>("args");
    const QString png = QStringLiteral("usage.png");
    const QString file = QStringLiteral("H0001");
    const QString exp = QStringLiteral("--export");
    const QString size = QStringLiteral("--size");
    QTest::newRow("unknown option") << QStringList{exp, png, QStringLiteral("--colour"), file};
    QTest::newRow("no file") << QStringList{exp, png};
    QTest::newRow("no value") << QStringList{exp};
    QTest::newRow("size without x") << QStringList{exp, png, size, QStringLiteral("640"), file};
    QTest::newRow("size of zero") << QStringList{exp, png, size, QStringLiteral("0x400"), file};
    QTest::newRow("size too large") << QStringList{exp, png, size, QStringLiteral("20000x20000"), file};
    QTest::newRow("size negative") << QStringList{exp, png, size, QStringLiteral("-5x10"), file};
    QTest::newRow("unknown extension") << QStringList{exp, QStringLiteral("usage.jpg"), file};
    QTest::newRow("no extension") << QStringList{exp, QStringLiteral("usage"), file};
    QTest::newRow("unknown page size") << QStringList{QStringLiteral("--print-pdf"), QStringLiteral("usage.pdf"),
                                                      QStringLiteral("--page-size"), QStringLiteral("B99"), file};
    QTest::newRow("size on the page") << QStringList{QStringLiteral("--print-pdf"), QStringLiteral("usage.pdf"), size,
                                                     QStringLiteral("10x10"), file};
}

void CommandExportTest::usageErrors()
{
    QFETCH(QStringList, args);
    // Relative names: nothing may appear in the test's folder.
    const QString cwd = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_dir.path()));
    const QStringList before = QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    const Run r = runDravel(args);
    const QStringList after = QDir().entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    QVERIFY(QDir::setCurrent(cwd));
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains(QLatin1String("--help")));
    QCOMPARE(after, before);
}

void CommandExportTest::helpPrintsUsage()
{
    const Run r = runDravel({QStringLiteral("--help")});
    QCOMPARE(r.status, 0);
    QVERIFY(r.out.contains(QLatin1String("--export OUT")));
    QVERIFY(r.out.contains(QLatin1String("--print-pdf")));
}

namespace {

// A chart with two waves drawn by the display's load pass, wave 1's first
// channel hidden, zoomed in on the peak.
struct ZoomedChart
{
    SignatureChart chart;
    std::array<SignatureRecord, MaxWaves> records{};
    UnreadableWaves unreadable{};

    ZoomedChart()
    {
        chart.resize(790, 522);
        records[0] = makeSampleSignature(1);
        records[1] = makeSampleSignature(2);
        drawWaves(chart, records, 2, unreadable);
        chart.setActive(SignatureChart::seriesIndex(1, 1), false);
        chart.zoomTo(150, 210, 0, 60);
    }
};

} // namespace

void CommandExportTest::chartFileAtAnotherSizeKeepsTheChart()
{
    ZoomedChart z;
    QTRY_VERIFY(z.chart.isZoomed() && !z.chart.isZoomAnimating());
    const ExportColours screen = z.chart.exportColours();
    const double left = z.chart.bottomAxis()->min();
    const QString png = out(QStringLiteral("in-process.png"));
    writeChartFile(z.chart, png, QSize(1000, 700));

    QImage image;
    QVERIFY(image.load(png));
    QCOMPARE(image.size(), QSize(1000, 700));
    // The hidden channel stays hidden; its neighbours are drawn.
    QCOMPARE(pixelsOf(image, SignatureChart::paperColour(SignatureChart::seriesIndex(1, 1))), 0);
    QVERIFY(pixelsOf(image, SignatureChart::paperColour(SignatureChart::seriesIndex(2, 1))) > 8);
    // The chart on screen is as it was: its size, its colours, its zoom.
    QCOMPARE(z.chart.size(), QSize(790, 522));
    QCOMPARE(z.chart.exportColours(), screen);
    QVERIFY(z.chart.isZoomed());
    QCOMPARE(z.chart.bottomAxis()->min(), left);
    // The clipboard's picture is the same one.
    QCOMPARE(chartImage(z.chart, QSize(1000, 700)).size(), QSize(1000, 700));
    QCOMPARE(z.chart.size(), QSize(790, 522));
}

void CommandExportTest::chartFileFailureKeepsTheChart()
{
    ZoomedChart z;
    const ExportColours screen = z.chart.exportColours();
    for (const QString& path : {out(QStringLiteral("no-such-dir/chart.svg")), out(QStringLiteral("chart.gif")),
                                out(QStringLiteral("no-such-dir/chart.emf"))}) {
        try {
            writeChartFile(z.chart, path, QSize(400, 300));
            QFAIL(qPrintable(QStringLiteral("no error for %1").arg(path)));
        } catch (const SystemError& e) {
            QVERIFY2(QString::fromStdString(e.what()).contains(path), e.what());
        }
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(z.chart.size(), QSize(790, 522));
        QCOMPARE(z.chart.exportColours(), screen);
    }
}

QTEST_MAIN(CommandExportTest)
#include "tst_commandexport.moc"
