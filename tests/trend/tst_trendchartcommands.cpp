// The Trend window's chart commands: Copy Chart and Export Chart... on the
// Chart button's menu and the chart's context menu, Ctrl+C on the chart, and
// the window's smallest size with the new button in its row.
#include "ScopedService.h"
#include "ScriptedDialogs.h"
#include "TrendSamples.h"
#include "trend/TrendWindow.h"
#include "trendchart/TrendChart.h"
#include "ui/DialogService.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

#include <algorithm>
#include <memory>

using Kind = ScriptedDialogs::Kind;

namespace {

// Pixels within a small distance of colour: the channel's curve drawn.
int pixelsOf(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            n += std::abs(qRed(p) - colour.red()) + std::abs(qGreen(p) - colour.green()) +
                     std::abs(qBlue(p) - colour.blue()) <
                 30;
        }
    return n;
}

QStringList entries(const QString& dir)
{
    return QDir(dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

} // namespace

class TrendChartCommandsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs* m_dialogs = nullptr;
    std::unique_ptr<ScopedDialogs> m_scripted;
    std::unique_ptr<TrendWindow> m_window;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    void scanSamples()
    {
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("in")));
        m_window->showPaths(localPaths(writeSamples(path(QStringLiteral("in")), 40)));
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->scan().isRunning(), 20000);
        QCOMPARE(m_window->Chart->strokeCount(), 40);
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    }

    int errorBoxes() const
    {
        return static_cast<int>(std::count_if(m_dialogs->calls.begin(), m_dialogs->calls.end(),
                                              [](const auto& c) { return c.kind == Kind::Error; }));
    }

    void exportTo(const QString& name)
    {
        m_dialogs->expectSave(name);
        m_window->Act_ExportChart->trigger();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_dialogs = new ScriptedDialogs;
        m_scripted = std::make_unique<ScopedDialogs>(std::unique_ptr<DialogService>(m_dialogs));
        m_window = std::make_unique<TrendWindow>(nullptr, [](const std::vector<std::string>&) {});
    }

    void cleanup()
    {
        const QString problems = m_dialogs->problems();
        const bool clean = m_dialogs->unexpected.isEmpty() && m_dialogs->allAnswered();
        m_window.reset();
        m_scripted.reset();
        m_dir.reset();
        QVERIFY2(clean, qPrintable(problems));
    }

    void commandsSitOnTheButtonAndTheChartAndTheWindowStaysSmall()
    {
        TrendWindow& w = *m_window;
        QVERIFY(w.Btn_Chart->menu());
        QCOMPARE(w.Btn_Chart->menu()->actions(), QList<QAction*>({w.Act_CopyChart, w.Act_ExportChart}));
        QCOMPARE(w.Chart->contextMenuPolicy(), Qt::ActionsContextMenu);
        QList<QAction*> context;
        for (QAction* a : w.Chart->actions())
            if (!a->isSeparator())
                context << a;
        QCOMPARE(context, QList<QAction*>({w.Act_CopyChart, w.Act_ExportChart, w.Act_ShowAll}));
        QCOMPARE(w.Act_CopyChart->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
        QCOMPARE(w.Act_CopyChart->shortcutContext(), Qt::WidgetShortcut);

        // The smallest the window can be made is no larger than before the
        // button came, empty and with strokes counted in the row the button
        // shares, and at that size every command button shows whole.
        auto checkSmallest = [&w] {
            const QSize smallest = w.minimumSizeHint();
            QVERIFY2(smallest.width() <= 892 && smallest.height() <= 486,
                     qPrintable(QStringLiteral("%1 x %2").arg(smallest.width()).arg(smallest.height())));
            w.resize(892, 486);
            QCoreApplication::processEvents();
            for (QPushButton* b : {w.Btn_OpenFolder, w.Btn_View, w.Btn_Export, w.Btn_Cancel, w.Btn_Chart}) {
                QVERIFY2(b->width() >= b->minimumSizeHint().width(), qPrintable(b->text()));
                QVERIFY2(w.rect().contains(QRect(b->mapTo(&w, QPoint(0, 0)), b->size())), qPrintable(b->text()));
            }
        };
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        checkSmallest();
        scanSamples();
        QVERIFY(!w.Lb_Rows->text().isEmpty());
        checkSmallest();
    }

    void exportWritesTheChartInTheFormatItsNameAsks()
    {
        scanSamples();
        const QSize size = m_window->Chart->size();

        exportTo(path(QStringLiteral("trend.png")));
        const ScriptedDialogs::Call* call = m_dialogs->last(Kind::Save);
        QVERIFY(call);
        QCOMPARE(call->fileName, QStringLiteral("Trend.png"));
        QCOMPARE(dialogNameFilters(call->filter),
                 QStringList({QStringLiteral("PNG image (*.png)"), QStringLiteral("SVG drawing (*.svg)"),
                              QStringLiteral("PDF document (*.pdf)")}));
        QVERIFY(call->overwrite == DialogService::Overwrite::Ask);
        const QImage png(path(QStringLiteral("trend.png")), "PNG");
        QCOMPARE(png.size(), size);
        for (int c = 0; c < TrendChannels; ++c)
            QVERIFY2(pixelsOf(png, TrendChart::channelColour(c)) > 20, qPrintable(QString::number(c)));

        exportTo(path(QStringLiteral("trend.svg")));
        // The dialog offers the name chosen last.
        QCOMPARE(m_dialogs->last(Kind::Save)->fileName, path(QStringLiteral("trend.png")));
        QFile svg(path(QStringLiteral("trend.svg")));
        QVERIFY(svg.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&svg);
        QVERIFY(xml.readNextStartElement());
        QCOMPARE(xml.name(), QLatin1String("svg"));
        int elements = 0;
        while (!xml.atEnd())
            elements += xml.readNext() == QXmlStreamReader::StartElement;
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(elements > 10);

        exportTo(path(QStringLiteral("trend.pdf")));
        QProcess info;
        info.start(QStringLiteral("pdfinfo"), {path(QStringLiteral("trend.pdf"))});
        QVERIFY(info.waitForFinished(30000));
        QCOMPARE(info.exitCode(), 0);
        const QString out = QString::fromLocal8Bit(info.readAllStandardOutput());
        QVERIFY2(out.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(out));

        // The summary's Export keeps its own name.
        m_dialogs->expectSave(QString());
        m_window->Btn_Export->click();
        QCOMPARE(m_dialogs->last(Kind::Save)->fileName, QStringLiteral("Summary.csv"));
    }

    void cancelOrAnUnwritableTargetWritesNothing()
    {
        scanSamples();
        const QStringList before = entries(m_dir->path());
        m_dialogs->expectSave(QString());
        m_window->Act_ExportChart->trigger();
        QCOMPARE(entries(m_dir->path()), before);

        const QString nowhere = path(QStringLiteral("missing/trend.png"));
        m_dialogs->expectSave(nowhere);
        m_dialogs->expectError();
        m_window->Act_ExportChart->trigger();
        QCOMPARE(errorBoxes(), 1);
        QVERIFY2(m_dialogs->last(Kind::Error)->text.contains(nowhere), qPrintable(m_dialogs->last(Kind::Error)->text));
        QCOMPARE(entries(m_dir->path()), before);
    }

    void copyPutsTheChartOnTheClipboard()
    {
        scanSamples();
        QGuiApplication::clipboard()->clear();
        m_window->Act_CopyChart->trigger();
        const QImage copied = QGuiApplication::clipboard()->image();
        QCOMPARE(copied.size(), m_window->Chart->size());
        // The very picture the PNG file holds: same size, same pixels.
        exportTo(path(QStringLiteral("same.png")));
        const QImage png(path(QStringLiteral("same.png")), "PNG");
        QCOMPARE(copied.convertToFormat(QImage::Format_RGB32), png.convertToFormat(QImage::Format_RGB32));
        QVERIFY(pixelsOf(copied, TrendChart::channelColour(0)) > 20);

        // Ctrl+C copies the chart while it has focus, and leaves the clipboard
        // alone while the table has it.
        m_window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QGuiApplication::clipboard()->clear();
        m_window->Tbl_Strokes->setFocus();
        QTest::keyClick(m_window->Tbl_Strokes, Qt::Key_C, Qt::ControlModifier);
        QVERIFY(QGuiApplication::clipboard()->image().isNull());
        m_window->Chart->setFocus();
        QTRY_VERIFY(m_window->Chart->hasFocus());
        QTest::keyClick(m_window->Chart, Qt::Key_C, Qt::ControlModifier);
        QTRY_COMPARE(QGuiApplication::clipboard()->image().size(), m_window->Chart->size());
    }

    void showAllOnTheContextMenuUndoesTheZoom()
    {
        scanSamples();
        const TrendRange all = m_window->Chart->visibleRange();
        m_window->Chart->zoomTo({all.x0, (all.x0 + all.x1) / 2, all.y0, all.y1});
        QVERIFY(m_window->Chart->isZoomed());
        m_window->Act_ShowAll->trigger();
        QVERIFY(!m_window->Chart->isZoomed());
    }
};

QTEST_MAIN(TrendChartCommandsTest)
#include "tst_trendchartcommands.moc"
