// File > Export Chart... and Edit > Copy Chart of the signature display: the
// dialog, the files and the clipboard image in paper colours at the chart's
// size, failures, and the chart's own colours afterwards.
#include "WaveFixture.h"
#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"
#include "display/TWaveFrm.h"
#include "samplegen/SampleSignature.h"
#include "ui/DialogService.h"

#include <QAction>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>

namespace {

using pixels::near;
using Kind = ScriptedDialogs::Kind;

// Pixels of about this colour whose four neighbours have it too: the inside
// of a legend swatch, which antialiasing cannot fake.
int solidPixels(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            n += near(image.pixel(x, y), colour) && near(image.pixel(x - 1, y), colour) &&
                 near(image.pixel(x + 1, y), colour) && near(image.pixel(x, y - 1), colour) &&
                 near(image.pixel(x, y + 1), colour);
    return n;
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class ChartCommandsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<WaveFixture> m_f;

    // One wave with only its first channel: yellow on screen, dark gold on paper.
    void viewYellowCurve()
    {
        QVERIFY(m_f->view({makeSampleSignature(0)}));
        m_f->keepOnly({0});
        QCOMPARE(SignatureChart::seriesColour(0), QColor(Qt::yellow));
    }

    // The picture shows the curve's paper colour, not its screen colour, on white.
    static void checkPaperColours(const QImage& image)
    {
        QVERIFY(!image.isNull());
        QVERIFY(near(image.pixel(2, 2), Qt::white));
        QVERIFY(solidPixels(image, SignatureChart::paperColour(0)) >= 4);
        QCOMPARE(solidPixels(image, SignatureChart::seriesColour(0)), 0);
    }

    int errorBoxes() const
    {
        const QList<ScriptedDialogs::Call>& calls = m_f->dialogs->calls;
        return static_cast<int>(
            std::count_if(calls.begin(), calls.end(), [](const auto& c) { return c.kind == Kind::Error; }));
    }

    void exportTo(const QString& path)
    {
        m_f->dialogs->expectSave(path);
        m_f->wave->ExportChart1->trigger();
    }

private slots:
    void init() { m_f = std::make_unique<WaveFixture>(); }
    void cleanup()
    {
        QVERIFY2(m_f->dialogs->unexpected.isEmpty(), qPrintable(m_f->dialogs->problems()));
        QVERIFY2(m_f->dialogs->allAnswered(), qPrintable(m_f->dialogs->problems()));
        m_f.reset();
    }

    void commandsSitInTheMenusAndTheBarStillFits()
    {
        TWaveFrm* w = m_f->wave;
        QCOMPARE(w->File1->actions(), QList<QAction*>({w->Save1, w->ExportChart1, w->Print1, w->Exit1}));
        QCOMPARE(w->ExportChart1->objectName(), QStringLiteral("ExportChart1"));
        QCOMPARE(w->ExportChart1->text(), QStringLiteral("&Export Chart..."));
        QCOMPARE(w->Edit1->objectName(), QStringLiteral("Edit1"));
        QCOMPARE(w->WaveMainMenu->actions().at(1), w->Edit1->menuAction());
        QCOMPARE(w->Edit1->actions(), QList<QAction*>({w->CopyChart1}));
        QCOMPARE(w->CopyChart1->objectName(), QStringLiteral("CopyChart1"));
        QCOMPARE(w->CopyChart1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));

        // With all five wave menus shown, every title still lies wholly on the
        // one row of the bar: none is pushed into the overflow button.
        QList<SignatureRecord> five;
        for (std::uint32_t i = 0; i < 5; ++i)
            five << makeSampleSignature(i);
        QVERIFY(m_f->view(five));
        QMenuBar* bar = w->WaveMainMenu;
        int visible = 0;
        for (QAction* a : bar->actions()) {
            if (!a->isVisible())
                continue;
            ++visible;
            const QRect r = bar->actionGeometry(a);
            QVERIFY2(!r.isEmpty() && bar->rect().contains(r), qPrintable(a->text()));
            QCOMPARE(r.top(), bar->actionGeometry(w->File1->menuAction()).top());
        }
        QCOMPARE(visible, 9);
    }

    void exportWritesThePictureInTheFormatItsNameAsks()
    {
        viewYellowCurve();
        const QSize size = m_f->chart()->size();
        QCOMPARE(size, QSize(790, 522));
        const ExportColours screen = m_f->chart()->exportColours();

        exportTo(m_f->path(QStringLiteral("chart.png")));
        const ScriptedDialogs::Call* call = m_f->dialogs->last(Kind::Save);
        QVERIFY(call);
        QCOMPARE(call->fileName, QStringLiteral("Wave.png"));
        QCOMPARE(dialogNameFilters(call->filter),
                 QStringList({QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
                              QStringLiteral("PDF document (*.pdf)")}));
        QVERIFY(call->overwrite == DialogService::Overwrite::Ask);
        const QImage png(m_f->path(QStringLiteral("chart.png")), "PNG");
        QCOMPARE(png.size(), size);
        checkPaperColours(png);
        QCOMPARE(m_f->chart()->exportColours(), screen);

        // A drawing that parses as SVG from start to end.
        exportTo(m_f->path(QStringLiteral("chart.svg")));
        QFile svg(m_f->path(QStringLiteral("chart.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name(), QLatin1String("svg"));
        int elements = 0;
        while (!xml.atEnd())
            elements += xml.readNext() == QXmlStreamReader::StartElement;
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(elements > 20);

        // A document of one page that a PDF reader accepts.
        exportTo(m_f->path(QStringLiteral("chart.pdf")));
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {m_f->path(QStringLiteral("chart.pdf"))});
        QVERIFY(info.waitForFinished(30000));
        QCOMPARE(info.exitCode(), 0);
        const QString out = QString::fromLocal8Bit(info.readAllStandardOutput());
        QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(out));
        QCOMPARE(m_f->chart()->exportColours(), screen);
        QCOMPARE(m_f->chart()->size(), size);
    }

    void cancelWritesNothing()
    {
        viewYellowCurve();
        const QStringList before = entries(m_f->path({}));
        m_f->dialogs->expectSave(QString());
        m_f->wave->ExportChart1->trigger();
        QCOMPARE(entries(m_f->path({})), before);
    }

    void anUnwritableTargetIsOneErrorAndLeavesNothing()
    {
        viewYellowCurve();
        const ExportColours screen = m_f->chart()->exportColours();
        // A folder where the picture should go cannot be replaced by it.
        QVERIFY(QDir(m_f->path({})).mkdir(QStringLiteral("taken.png")));
        const QStringList before = entries(m_f->path({}));
        // So can no file of a kind the writer does not make.
        for (const QString& target : {m_f->path(QStringLiteral("no/such/dir.png")),
                                      m_f->path(QStringLiteral("taken.png")), m_f->path(QStringLiteral("chart.txt"))}) {
            const int errors = errorBoxes();
            m_f->dialogs->expectSave(target);
            m_f->dialogs->expectError();
            m_f->wave->ExportChart1->trigger();
            QCOMPARE(errorBoxes(), errors + 1);
            QVERIFY2(m_f->dialogs->last(Kind::Error)->text.contains(target),
                     qPrintable(m_f->dialogs->last(Kind::Error)->text));
            QCOMPARE(entries(m_f->path({})), before);
            QCOMPARE(m_f->chart()->exportColours(), screen);
        }
        QVERIFY(QFileInfo(m_f->path(QStringLiteral("taken.png"))).isDir());
        QVERIFY(entries(m_f->path(QStringLiteral("taken.png"))).isEmpty());
    }

    void copyPutsThePaperPictureOnTheClipboard()
    {
        viewYellowCurve();
        const ExportColours screen = m_f->chart()->exportColours();
        QGuiApplication::clipboard()->clear();
        m_f->wave->CopyChart1->trigger();
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), m_f->chart()->size());
        checkPaperColours(copied);
        QCOMPARE(m_f->chart()->exportColours(), screen);
        QCOMPARE(m_f->chart()->size(), QSize(790, 522));

        // Ctrl+C in the window does the same.
        QGuiApplication::clipboard()->clear();
        QVERIFY(QGuiApplication::clipboard()->image().isNull());
        m_f->wave->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_f->wave));
        QTest::keyClick(m_f->wave, Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(QGuiApplication::clipboard()->image().size(), m_f->chart()->size());
    }
};

QTEST_MAIN(ChartCommandsTest)
#include "tst_chartcommands.moc"
