// File > Print of the signature display, printed to PDF and read back with
// poppler's pdftotext (texts and their boxes) and pdftoppm (the frame).
#include "LayoutChecks.h"
#include "WaveFixture.h"
#include "chart/SignatureChart.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "display/WavePrintPage.h"
#include "display/WavePrinter.h"
#include "display/WaveRecords.h"
#include "metafile/EmfPicture.h"
#include "samplegen/SampleSignature.h"
#include "signature/NumberFormat.h"

#include <QFileInfo>
#include <QFontMetricsF>
#include <QFrame>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPaintEngine>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <array>
#include <climits>
#include <functional>
#include <optional>

namespace {

struct Word
{
    QString text;
    QRectF box; // points, from the page's top left
};

// The words of the page's first page with their boxes.
QList<Word> pdfWords(const QString& pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")});
    p.waitForFinished(30000);
    const QString html = QString::fromUtf8(p.readAllStandardOutput());
    static const QRegularExpression re(
        QStringLiteral(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re"));
    QList<Word> words;
    for (auto it = re.globalMatch(html); it.hasNext();) {
        const auto m = it.next();
        // Ligatures ("fi" drawn as one glyph) read as their letters.
        words.append({m.captured(5).normalized(QString::NormalizationForm_KC),
                      QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                             QPointF(m.captured(3).toDouble(), m.captured(4).toDouble()))});
    }
    return words;
}

// Takes the texts a page draws, with their sizes and where they stand, on a
// device with a printer's own size and resolution.
class TextRecorder : public QPaintEngine
{
public:
    TextRecorder() : QPaintEngine(AllFeatures) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawPolygon(const QPointF*, int, PolygonDrawMode) override {}
    void drawTextItem(const QPointF& baseline, const QTextItem& item) override
    {
        texts.append({item.text(), item.font(), baseline});
    }
    struct Drawn
    {
        QString text;
        QFont font;
        QPointF baseline;
    };
    QList<Drawn> texts;
};

class PrinterLikeDevice : public QPaintDevice
{
public:
    explicit PrinterLikeDevice(const QPrinter& p)
        : m_width(p.width()), m_height(p.height()), m_widthMM(p.widthMM()), m_heightMM(p.heightMM()),
          m_dpiX(p.logicalDpiX()), m_dpiY(p.logicalDpiY())
    {}
    QPaintEngine* paintEngine() const override { return &recorder; }
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth:
            return m_width;
        case PdmHeight:
            return m_height;
        case PdmWidthMM:
            return m_widthMM;
        case PdmHeightMM:
            return m_heightMM;
        case PdmDpiX:
        case PdmPhysicalDpiX:
            return m_dpiX;
        case PdmDpiY:
        case PdmPhysicalDpiY:
            return m_dpiY;
        case PdmDepth:
            return 32;
        case PdmNumColors:
            return INT_MAX;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        }
        return 0;
    }
    mutable TextRecorder recorder;

private:
    int m_width, m_height, m_widthMM, m_heightMM, m_dpiX, m_dpiY;
};

SignatureRecord firstRecord()
{
    SignatureRecord r = makeSampleSignature(0);
    r.setJobName("DIE 7");
    r.setPeak(0, 12.34f);
    r.setPeak(1, 1234.56f);
    return r;
}

} // namespace

class WavePrintTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<WaveFixture> m_f;
    PdfPrinting* m_printing = nullptr;
    std::unique_ptr<ScopedPrinting> m_printingGuard;
    int m_panelShows = 0;
    bool m_titleShown = false;
    bool m_panelOnTop = false;

    // Answers the title dialog once it is open: sets the title (if given) and
    // closes it with Ok or with its close box.
    void answerTitle(std::optional<QString> title = {}, bool ok = true)
    {
        m_titleShown = false;
        QTimer::singleShot(0, m_f->title, [this, title, ok] {
            m_titleShown = m_f->title->isVisible();
            if (title)
                m_f->title->Ed_PrtTitle->setText(*title);
            ok ? m_f->title->Button1->click() : static_cast<void>(m_f->title->close());
        });
    }
    QList<Word> print(const QString& pdf, std::optional<QString> title = {})
    {
        m_printing->output = m_f->path(pdf);
        answerTitle(title);
        m_f->wave->Print1->trigger();
        [&] { QVERIFY(m_titleShown); }();
        return pdfWords(m_printing->output);
    }

    // Where a position given as fractions of the printable area lies on the
    // page, in points, truncated to whole printer pixels as the page is drawn.
    QPointF onPage(double fx, double fy) const
    {
        const QPrinter& p = *m_printing->printer;
        const QRectF paint = p.pageLayout().paintRect(QPageLayout::Point);
        const double perPixel = 72.0 / p.resolution();
        return paint.topLeft() + QPointF(int(fx * (p.width() - 1)) * perPixel, int(fy * (p.height() - 1)) * perPixel);
    }
    static const Word* find(const QList<Word>& words, const QString& text)
    {
        auto it = std::find_if(words.begin(), words.end(), [&](const Word& w) { return w.text == text; });
        return it == words.end() ? nullptr : &*it;
    }
    // The word's top left corner lies at (fx, fy) of the page, within a point.
    void expectAt(const QList<Word>& words, const QString& text, double fx, double fy) const
    {
        const Word* w = find(words, text);
        QVERIFY2(w, qPrintable(text + QStringLiteral(" not on the page")));
        const QPointF want = onPage(fx, fy), off = w->box.topLeft() - want;
        QVERIFY2(std::abs(off.x()) < 1.0 && std::abs(off.y()) < 1.0,
                 qPrintable(QStringLiteral("%1 off by (%2, %3) pt").arg(text).arg(off.x()).arg(off.y())));
    }
    // Nothing runs past the frame.
    void expectInsideFrame(const QList<Word>& words) const
    {
        const QRectF frame(onPage(0, 0), onPage(1, 1));
        for (const Word& w : words)
            QVERIFY2(frame.adjusted(-0.5, -0.5, 0.5, 0.5).contains(w.box),
                     qPrintable(w.text + QStringLiteral(" outside the frame")));
    }
    // Words drawn from the chart's picture lie in its rectangle on the page.
    QStringList chartWords(const QList<Word>& words) const
    {
        const QRectF area(onPage(0.03, 0.30), onPage(0.96, 0.90));
        QStringList inside;
        for (const Word& w : words)
            if (area.contains(w.box.center()))
                inside << w.text;
        return inside;
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            ++m_panelShows;
            m_panelOnTop = watched->parent()->children().last() == watched;
        }
        return false;
    }

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty() ||
            QStandardPaths::findExecutable(QStringLiteral("pdftoppm")).isEmpty())
            QSKIP("poppler-utils (pdftotext, pdftoppm) are needed to read the printed pages");
    }
    void init()
    {
        m_f = std::make_unique<WaveFixture>();
        m_printing = new PdfPrinting;
        m_printingGuard = std::make_unique<ScopedPrinting>(std::unique_ptr<PrintService>(m_printing));
        m_panelShows = 0;
        m_f->wave->Pn_Printing->installEventFilter(this);
    }
    void cleanup()
    {
        const bool unexpected = !m_f->dialogs->unexpected.isEmpty();
        const bool unanswered = !m_f->dialogs->allAnswered();
        const QString problems = m_f->dialogs->problems();
        m_f->wave->Pn_Printing->removeEventFilter(this);
        m_f.reset();
        m_printingGuard.reset();
        QVERIFY2(!unexpected, qPrintable(problems));
        QVERIFY2(!unanswered, qPrintable(problems));
    }

    // The dialog's table: every control inside its parent, and only the bevel
    // behind the captions and the edit, as designed.
    void titleDialogLayoutTableKeepsItsShape()
    {
        TFm_TitleEnter& d = *m_f->title;
        QCOMPARE(layoutchecks::outsideParent(TFm_TitleEnter::Layout, d), QStringList());
        QCOMPARE(layoutchecks::siblingOverlaps(TFm_TitleEnter::Layout, d),
                 QStringList({QStringLiteral("Bevel1/Label1"), QStringLiteral("Bevel1/Label2"),
                              QStringLiteral("Bevel1/Ed_PrtTitle")}));
        for (const Placement& p : TFm_TitleEnter::Layout) {
            const auto* w = d.findChild<QWidget*>(QLatin1String(p.name));
            QVERIFY2(w, p.name);
            // A caption keeps its corner and width; a larger face may need more height.
            QCOMPARE(w->pos(), p.designed.topLeft());
            QCOMPARE(w->width(), p.designed.width());
        }
    }

    void titleDialogAsDesigned()
    {
        TFm_TitleEnter* d = m_f->title;
        QCOMPARE(d->windowTitle(), QStringLiteral("Fm_TitleEnter"));
        QCOMPARE(d->size(), QSize(424, 141));
        QCOMPARE(d->minimumSize(), d->maximumSize());
        QCOMPARE(d->Label1->text(), QStringLiteral("Please Enter Print Title"));
        QCOMPARE(d->Label2->text(), QStringLiteral("(This will show on top of the print out.)"));
        QVERIFY(d->Label1->font().bold());
        QCOMPARE(d->Ed_PrtTitle->geometry(), QRect(36, 42, 355, 24));
        QCOMPARE(d->Button1->geometry(), QRect(175, 99, 75, 25));
        QCOMPARE(d->Button1->text(), QStringLiteral("Ok"));
        QCOMPARE(d->Ed_PrtTitle->text(), QStringLiteral("XLB Dravel"));
        // Both captions show whole, side by side inside the bevel.
        for (QLabel* l : {d->Label1, d->Label2})
            QVERIFY(l->fontMetrics().horizontalAdvance(l->text()) <= l->width());
        QVERIFY(d->Label1->geometry().right() < d->Label2->x());
        QVERIFY(d->Label2->geometry().right() < d->Bevel1->geometry().right());

        // Opens on Ok; typing stops at 50 characters; the title outlives the dialog.
        QWidget* focused = nullptr;
        QTimer::singleShot(0, d, [d, &focused] {
            focused = d->focusWidget();
            d->Ed_PrtTitle->clear();
            QTest::keyClicks(d->Ed_PrtTitle, QString(60, QLatin1Char('x')));
            QTest::keyClick(d->Button1, Qt::Key_Space);
        });
        QCOMPARE(d->exec(), int(QDialog::Accepted));
        QCOMPARE(focused, d->Button1);
        QCOMPARE(d->Button1->nextInFocusChain(), d->Ed_PrtTitle);
        QCOMPARE(d->Ed_PrtTitle->text(), QString(50, QLatin1Char('x')));
    }

    void oneRecordPage()
    {
        QVERIFY(m_f->view({firstRecord()}));
        const ExportColours screen = m_f->chart()->exportColours();
        m_f->chart()->raise();
        const QList<Word> words = print(QStringLiteral("one.pdf"));
        QCOMPARE(m_printing->shown, 1);
        QVERIFY(!words.isEmpty());

        expectAt(words, QStringLiteral("XLB"), 0.45, 0.025);
        const char* labels[] = {"Date:", "Time:", "Job:", "Ch1:", "Ch2:", "Ch3:", "Ch4:"};
        const char* values[] = {"01/01/2026", "06:00:00", "DIE", "12.3", "1234.6", nullptr, nullptr};
        for (int row = 0; row < 7; ++row) {
            const double y = 0.10 + 0.02 * row;
            expectAt(words, QLatin1String(labels[row]), 0.07, y);
            if (values[row])
                expectAt(words, QLatin1String(values[row]), 0.15, y);
        }
        expectAt(words, QStringLiteral("Printed"), 0.63, 0.985);
        expectInsideFrame(words);

        // The chart, from the picture left in the current directory, fills its rectangle.
        QVERIFY(QFileInfo(m_f->path(QStringLiteral("WaveChrt.EMF"))).isFile());
        const QStringList chart = chartWords(words);
        for (const char* text : {"Ton", "Distance", "Ch1", "Ch4"})
            QVERIFY2(chart.contains(QLatin1String(text)), qPrintable(chart.join(QLatin1Char(' '))));

        // The page as paper: the chart's rectangle black on white, and the
        // frame, a line along each edge of the printable area.
        QProcess ppm;
        const QString raster = m_f->path(QStringLiteral("one"));
        ppm.start(QStringLiteral("pdftoppm"),
                  {QStringLiteral("-r"), QStringLiteral("36"), QStringLiteral("-gray"), QStringLiteral("-aa"),
                   QStringLiteral("no"), QStringLiteral("-aaVector"), QStringLiteral("no"),
                   QStringLiteral("-thinlinemode"), QStringLiteral("solid"), QStringLiteral("-singlefile"),
                   m_printing->output, raster});
        QVERIFY(ppm.waitForFinished(30000));
        const QImage page(raster + QStringLiteral(".pgm"));
        QVERIFY(!page.isNull());
        const QPointF tl = onPage(0, 0) / 2, br = onPage(1, 1) / 2; // 36 dpi: half a pixel per point
        const QRect chartArea = QRectF(onPage(0.03, 0.30) / 2, onPage(0.96, 0.90) / 2).toRect();
        qint64 grey = 0;
        for (int y = chartArea.top(); y <= chartArea.bottom(); ++y)
            for (int x = chartArea.left(); x <= chartArea.right(); ++x)
                grey += qGray(page.pixel(x, y));
        QVERIFY(grey > 230 * qint64(chartArea.width()) * chartArea.height());
        auto darkAround = [&](QPointF at) {
            for (int dx = -1; dx <= 1; ++dx)
                for (int dy = -1; dy <= 1; ++dy)
                    if (qGray(page.pixel(int(at.x()) + dx, int(at.y()) + dy)) < 128)
                        return true;
            return false;
        };
        for (double t = 0.05; t < 1; t += 0.05) {
            QVERIFY(darkAround({tl.x() + t * (br.x() - tl.x()), tl.y()}));
            QVERIFY(darkAround({tl.x() + t * (br.x() - tl.x()), br.y()}));
            QVERIFY(darkAround({tl.x(), tl.y() + t * (br.y() - tl.y())}));
            QVERIFY(darkAround({br.x(), tl.y() + t * (br.y() - tl.y())}));
        }

        // "Printing..." was shown on top while printing, and is gone; the
        // screen colours are back.
        QCOMPARE(m_panelShows, 1);
        QVERIFY(m_panelOnTop);
        QVERIFY(m_f->wave->Pn_Printing->isHidden());
        QCOMPARE(m_f->chart()->exportColours(), screen);
    }

    void severalRecordsPageFollowsTheChart()
    {
        QVERIFY(m_f->view({firstRecord(), makeSampleSignature(1), makeSampleSignature(2)}));
        QList<Word> words = print(QStringLiteral("three.pdf"));
        for (int k = 1; k <= 3; ++k) {
            expectAt(words, QStringLiteral("Wave%1:").arg(k), 0.07, 0.10 + 0.03 * (k - 1));
            const std::string_view date = m_f->shown.waveRecords[static_cast<std::size_t>(k - 1)].dateText();
            expectAt(words, QLatin1String(date.data(), qsizetype(date.size())), 0.15, 0.10 + 0.03 * (k - 1));
        }
        QVERIFY(!find(words, QStringLiteral("Date:")));
        expectInsideFrame(words);
        QCOMPARE(chartWords(words).count(QStringLiteral("Ch1")), 3);

        // A second print shows the chart as it is then: without its legend.
        const QByteArray first = [&] {
            QFile f(m_f->path(QStringLiteral("WaveChrt.EMF")));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        // The title dialog closed by its close box still prints what it holds.
        m_f->wave->HideLegend1->trigger();
        m_printing->output = m_f->path(QStringLiteral("again.pdf"));
        answerTitle(QStringLiteral("Second"), false);
        m_f->wave->Print1->trigger();
        words = pdfWords(m_printing->output);
        expectAt(words, QStringLiteral("Second"), 0.55 - 0.06, 0.025);
        QCOMPARE(chartWords(words).count(QStringLiteral("Ch1")), 0);
        QFile again(m_f->path(QStringLiteral("WaveChrt.EMF")));
        QVERIFY(again.open(QIODevice::ReadOnly));
        QVERIFY(again.readAll() != first);
    }

    void detailLines()
    {
        std::array<SignatureRecord, 5> records;
        for (std::size_t k = 0; k < 5; ++k)
            records[k] = makeSampleSignature(static_cast<std::uint32_t>(k));
        records[0] = firstRecord();
        records[1].setJobName("A-FULL-15-CHARS");

        const QList<DetailRow> one = detailRows(records, 1);
        QCOMPARE(one.size(), 7);
        QCOMPARE(one[2], (DetailRow{QStringLiteral("Job:"), QStringLiteral("DIE 7"), 0.14})); // no padding here
        QCOMPARE(one[3], (DetailRow{QStringLiteral("Ch1:"), QStringLiteral("12.3"), 0.16}));

        const QList<DetailRow> two = detailRows(records, 2);
        QCOMPARE(two.size(), 2);
        QCOMPARE(two[0].value,
                 QStringLiteral("01/01/2026  06:00:00            DIE 7  Ch1:12.3  Ch2:1234.6  Ch3:%1  Ch4:%2")
                     .arg(QString::fromStdString(numfmt::fixed1Text(records[0].peak(2))),
                          QString::fromStdString(numfmt::fixed1Text(records[0].peak(3)))));
        QVERIFY(two[1].value.contains(QLatin1String("  A-FULL-15-CHARS  Ch1:")));
        QCOMPARE(two[1].label, QStringLiteral("Wave2:"));
        QCOMPARE(two[1].y, 0.13);

        const QList<DetailRow> five = detailRows(records, 5);
        QCOMPARE(five.size(), 5);
        QCOMPARE(five[4].y, 0.10 + 0.03 * 4);
        // A count beyond the records there are prints the five, none at all prints none.
        QCOMPARE(detailRows(records, 7), five);
        QVERIFY(detailRows(records, 0).isEmpty());

        // A wave whose file could not be read says so instead of blanks and zeros.
        std::array<bool, 5> unreadable{};
        unreadable[2] = true;
        const QList<DetailRow> withUnread = detailRows(records, 5, unreadable);
        QCOMPARE(withUnread.size(), 5);
        QCOMPARE(withUnread[2],
                 (DetailRow{QStringLiteral("Wave3:"), QStringLiteral("(file could not be read)"), 0.16}));
        QCOMPARE(withUnread[1], five[1]);
        QCOMPARE(withUnread[3], five[3]);
        unreadable = {true};
        QCOMPARE(detailRows(records, 1, unreadable),
                 QList<DetailRow>({{QStringLiteral("Wave1:"), QStringLiteral("(file could not be read)"), 0.10}}));

        // An odd record with a time text that fills its whole room is cut at 255 characters.
        records[0].setTimeText(std::string(3000, '9'));
        QCOMPARE(detailRows(records, 1)[1].value.size(), 255);
    }

    void unreadableWaveIsPrintedAsSuch()
    {
        m_f->dialogs->expectWarning();
        QVERIFY(m_f->view({firstRecord(), makeSampleSignature(1), makeSampleSignature(2)}, {3}));
        const QList<Word> words = print(QStringLiteral("unread.pdf"));
        expectAt(words, QStringLiteral("Wave3:"), 0.07, 0.16);
        expectAt(words, QStringLiteral("(file"), 0.15, 0.16);
        // Its row holds no date and no peaks: the words at its height are the label and the note.
        QStringList row;
        const double y = onPage(0, 0.16).y();
        for (const Word& w : words)
            if (std::abs(w.box.top() - y) < 2 && w.box.left() < onPage(0.96, 0).x())
                row << w.text;
        QCOMPARE(row, QStringList({QStringLiteral("Wave3:"), QStringLiteral("(file"), QStringLiteral("could"),
                                   QStringLiteral("not"), QStringLiteral("be"), QStringLiteral("read)")}));
        expectAt(words, QStringLiteral("Wave2:"), 0.07, 0.13);
        QCOMPARE(chartWords(words).count(QStringLiteral("Ch1")), 2); // its curves are not in the legend
    }

    void pageHoldsEveryWindow()
    {
        SignatureRecord early = makeSampleSignature(1);
        early.setWindowStartAngle(0);
        early.setWindowEndAngle(224);
        QVERIFY(m_f->view({firstRecord(), early}));
        const QStringList chart = chartWords(print(QStringLiteral("windows.pdf")));
        // The bottom axis runs from 0 to 314 in steps of 50: labels no window
        // of wave 1 alone (90 .. 314) would show.
        for (const char* label : {"50", "250", "300"})
            QVERIFY2(chart.contains(QLatin1String(label)), qPrintable(chart.join(QLatin1Char(' '))));
    }

    // Each kind of text keeps its designed size (title 20, details 12, notice
    // 8 points) unless at that size its glyphs would touch another text or
    // the frame; then it is set no smaller than needed.
    void textsKeepTheirSizesUnlessTheyWouldOverlap_data()
    {
        QTest::addColumn<int>("paper");
        QTest::addColumn<bool>("landscape");
        QTest::addColumn<int>("waves");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("allDesigned"); // every text at its designed size
        const QString typical = QStringLiteral("Press 4 - Die 1207 - Left bolster - evening shifts");
        QCOMPARE(typical.size(), 50);
        const QString widest(50, QLatin1Char('W'));
        for (const auto& [name, id] : {std::pair{"A4", QPageSize::A4}, std::pair{"Letter", QPageSize::Letter}})
            for (const bool landscape : {false, true})
                for (const int waves : {1, 5}) {
                    const QString row = QStringLiteral("%1 %2 %3 wave(s)")
                                            .arg(QLatin1String(name),
                                                 landscape ? QLatin1String("landscape") : QLatin1String("portrait"))
                                            .arg(waves);
                    // Portrait pages with one record have room for everything.
                    QTest::newRow(qPrintable(row))
                        << int(id) << landscape << waves << typical << (!landscape && waves == 1);
                    QTest::newRow(qPrintable(row + QStringLiteral(" widest title")))
                        << int(id) << landscape << waves << widest << false;
                }
    }
    void textsKeepTheirSizesUnlessTheyWouldOverlap()
    {
        QFETCH(int, paper);
        QFETCH(bool, landscape);
        QFETCH(int, waves);
        QFETCH(QString, title);
        QFETCH(bool, allDesigned);
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(m_f->path(QStringLiteral("sizes.pdf")));
        printer.setPageSize(QPageSize(QPageSize::PageSizeId(paper)));
        printer.setPageOrientation(landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
        const int W = printer.width() - 1;
        const int H = printer.height() - 1;
        std::array<SignatureRecord, 5> records;
        for (std::size_t k = 0; k < records.size(); ++k) {
            records[k] = makeSampleSignature(static_cast<std::uint32_t>(k));
            records[k].setJobName("PRESS4-DIE1207J"); // 15 characters
            for (int c = 0; c < 4; ++c)
                records[k].setPeak(c, 1234.5f);
        }
        PrinterLikeDevice device(printer);
        {
            QPainter painter(&device);
            drawSignaturePage(painter, W, H, EmfPicture(), title, detailRows(records, waves));
        }
        const QList<TextRecorder::Drawn>& drawn = device.recorder.texts;
        QCOMPARE(drawn.size(), 1 + 2 * (waves == 1 ? 7 : waves) + 1);

        // Kinds by place: the title above the detail block, the notice at the foot.
        const qreal designed[] = {20, 12, 8};
        auto kindOf = [&](const TextRecorder::Drawn& d) {
            return d.baseline.y() < 0.09 * H ? 0 : d.baseline.y() > 0.95 * H ? 2 : 1;
        };
        // Where a text's glyphs lie at a size.
        auto inkAt = [&](const TextRecorder::Drawn& d, qreal points) {
            QFont f = d.font;
            f.setPointSizeF(points);
            const QFontMetricsF m(f, &device);
            const QFontMetricsF drawnAt(d.font, &device);
            const QPointF top(d.baseline.x(), d.baseline.y() - drawnAt.ascent()); // texts stand by their top
            return m.tightBoundingRect(d.text).translated(top.x(), top.y() + m.ascent());
        };
        const qreal clearance = 0.5 * device.logicalDpiY() / 72.0;
        const QRectF inside = QRectF(0, 0, W, H).adjusted(clearance, clearance, -clearance, -clearance);
        // The page as drawn, with one kind set at another size.
        auto clear = [&](int kind, qreal points) {
            QList<QRectF> ink;
            for (const TextRecorder::Drawn& d : drawn)
                ink << inkAt(d, kindOf(d) == kind ? points : d.font.pointSizeF());
            for (qsizetype i = 0; i < ink.size(); ++i) {
                if (!inside.contains(ink[i]))
                    return false;
                for (qsizetype j = i + 1; j < ink.size(); ++j)
                    if (ink[i].adjusted(-clearance, -clearance, clearance, clearance).intersects(ink[j]))
                        return false;
            }
            return true;
        };

        std::array<qreal, 3> sizes{};
        for (const TextRecorder::Drawn& d : drawn) {
            const int kind = kindOf(d);
            if (sizes[kind] == 0)
                sizes[kind] = d.font.pointSizeF();
            QCOMPARE(d.font.pointSizeF(), sizes[kind]); // one size for each kind
        }
        const QString measured =
            QStringLiteral("title %1 pt, details %2 pt, notice %3 pt").arg(sizes[0]).arg(sizes[1]).arg(sizes[2]);
        QVERIFY2(clear(0, sizes[0]), qPrintable(QStringLiteral("texts touch at ") + measured));
        for (int kind = 0; kind < 3; ++kind) {
            QVERIFY2(sizes[kind] <= designed[kind], qPrintable(measured));
            // Smaller only where the next half point up would touch something.
            if (sizes[kind] < designed[kind])
                QVERIFY2(!clear(kind, sizes[kind] + 0.5),
                         qPrintable(QStringLiteral("kind %1 set smaller than needed: ").arg(kind) + measured));
        }
        if (allDesigned)
            QVERIFY2(sizes == (std::array<qreal, 3>{20, 12, 8}), qPrintable(measured));
        if (title.startsWith(QLatin1String("Press")))
            QVERIFY2(sizes[0] == 20, qPrintable(measured)); // a typical 50-character title fits
        if (landscape && waves == 5)
            QVERIFY2(sizes[1] == 12, qPrintable(measured)); // five rows 3 % apart have room
        qInfo().noquote() << measured;
    }

    void emptyAndFiftyCharacterTitles()
    {
        QVERIFY(m_f->view({firstRecord()}));
        QList<Word> words = print(QStringLiteral("empty.pdf"), QString());
        for (const Word& w : words)
            QVERIFY2(w.box.top() > onPage(0, 0.09).y(), qPrintable(w.text + QStringLiteral(" above the detail block")));

        // The widest 50 characters start at 0.05 W and still end inside the frame.
        words = print(QStringLiteral("wide.pdf"), QString(50, QLatin1Char('W')));
        expectAt(words, QString(50, QLatin1Char('W')), 0.05, 0.025);
        expectInsideFrame(words);
    }

    void cancelPrintsNothing()
    {
        QVERIFY(m_f->view({firstRecord()}));
        const ExportColours screen = m_f->chart()->exportColours();
        m_printing->confirm = false;
        print(QStringLiteral("cancel.pdf"));
        QCOMPARE(m_printing->shown, 1);
        QVERIFY(!QFileInfo::exists(m_printing->output));
        QCOMPARE(m_panelShows, 0);
        QVERIFY(QFileInfo(m_f->path(QStringLiteral("WaveChrt.EMF"))).isFile());
        QCOMPARE(m_f->chart()->exportColours(), screen);
    }

    void failuresAreReportedAndPrintNothing()
    {
        QVERIFY(m_f->view({firstRecord()}));
        const ExportColours screen = m_f->chart()->exportColours();
        const QString picture = m_f->path(QStringLiteral("WaveChrt.EMF"));

        // The picture cannot be written: a directory has its name.
        QVERIFY(QDir(m_f->path({})).mkdir(QStringLiteral("WaveChrt.EMF")));
        m_f->dialogs->expectError();
        print(QStringLiteral("nowrite.pdf"));
        QVERIFY(m_f->dialogs->last(ScriptedDialogs::Kind::Error)->text.contains(picture));
        QCOMPARE(m_printing->shown, 0);
        QCOMPARE(m_f->chart()->exportColours(), screen);
        QVERIFY(QDir(m_f->path({})).rmdir(QStringLiteral("WaveChrt.EMF")));

        // The picture is damaged before it is read back.
        m_printing->whileOpen = [&] {
            QFile f(picture);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("not a metafile");
        };
        m_f->dialogs->expectError();
        print(QStringLiteral("noread.pdf"));
        QVERIFY(m_f->dialogs->last(ScriptedDialogs::Kind::Error)->text.contains(picture));
        QVERIFY(!QFileInfo::exists(m_printing->output));
        QCOMPARE(m_panelShows, 0);
        m_printing->whileOpen = nullptr;

        // The printer refuses the document: the panel goes away again.
        m_f->dialogs->expectError();
        m_printing->output = m_f->path(QStringLiteral("missing/dir/page.pdf"));
        answerTitle();
        m_f->wave->Print1->trigger();
        QVERIFY(m_f->dialogs->last(ScriptedDialogs::Kind::Error)->text.contains(QLatin1String("missing/dir/page.pdf")));
        QCOMPARE(m_panelShows, 1);
        QVERIFY(m_f->wave->Pn_Printing->isHidden());
        QCOMPARE(m_f->chart()->exportColours(), screen);
    }
};

QTEST_MAIN(WavePrintTest)
#include "tst_waveprint.moc"
