// Drives the signature display through its menus and buttons, with scripted
// dialogs and a file list like the main window's.
#include "LayoutChecks.h"
#include "ScopedService.h"
#include "ScriptedDialogs.h"
#include "chart/ChartCursor.h"
#include "chart/SignatureChart.h"
#include "display/ListWidgetCursor.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "display/WaveRecords.h"
#include "display/WaveView.h"
#include "samplegen/SampleSignature.h"
#include "signature/SignatureFile.h"

#include <QApplication>
#include <QCategoryAxis>
#include <QFile>
#include <QLabel>
#include <QLegend>
#include <QLegendMarker>
#include <QLineSeries>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <limits>

using Kind = ScriptedDialogs::Kind;

class WaveFrmTest : public QObject
{
    Q_OBJECT

    QTemporaryDir* m_data = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;
    QMainWindow* m_owner = nullptr;
    QListWidget* m_list = nullptr;
    TWaveFrm* m_wave = nullptr;
    // The state the display works on, as the program holds it.
    std::unique_ptr<WaveView> m_view;
    SignatureRecord m_reading;
    std::unique_ptr<ScopedDialogs> m_scripted;
    std::unique_ptr<ListWidgetCursor> m_cursor;

    SignatureChart* chart() const { return m_wave->WaveChrt; }
    QLineSeries* series(int index) const { return chart()->series(index); }

    QString write(const QString& name, const SignatureRecord& r)
    {
        QFile f(m_data->filePath(name));
        if (!f.open(QIODevice::WriteOnly))
            return {};
        f.write(reinterpret_cast<const char*>(r.bytes.data()), static_cast<qint64>(r.bytes.size()));
        return f.fileName();
    }
    // Sample files H1 .. Hn, also listed in the file list.
    QStringList samples(int n)
    {
        QStringList paths;
        for (int i = 0; i < n; ++i)
            paths << write(QStringLiteral("H%1.wav").arg(i + 1), makeSampleSignature(static_cast<std::uint32_t>(i)));
        m_list->addItems(paths);
        m_list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        return paths;
    }

    // What View does: hand over the files and show the display, then wait for
    // the load pass that its timer starts.
    void view(const QStringList& files, int count = -1)
    {
        for (std::size_t k = 0; k < m_view->viewFileNames.size(); ++k)
            m_view->viewFileNames[k] = k < static_cast<std::size_t>(files.size())
                                           ? QFile::encodeName(files[static_cast<qsizetype>(k)]).toStdString()
                                           : std::string();
        m_view->viewFileCount = static_cast<std::int16_t>(count < 0 ? files.size() : count);
        m_wave->show();
        QVERIFY(m_wave->TMR_Init->isActive());
        QTRY_VERIFY(!m_wave->TMR_Init->isActive());
    }

    QStringList visibleWaveMenus() const
    {
        QStringList titles;
        for (QAction* a : m_wave->WaveMainMenu->actions())
            if (a->menu() && a->isVisible() && a->text().startsWith(QLatin1String("Wave")))
                titles << a->text();
        return titles;
    }
    int activeCount() const
    {
        int n = 0;
        for (int i = 0; i < 20; ++i)
            n += chart()->isActive(i);
        return n;
    }
    double pointX(int index, int point) const { return series(index)->at(point).x(); }

private slots:
    void init()
    {
        m_data = new QTemporaryDir;
        m_dialogs = new ScriptedDialogs;
        m_scripted = std::make_unique<ScopedDialogs>(std::unique_ptr<DialogService>(m_dialogs));
        m_owner = new QMainWindow;
        m_list = new QListWidget;
        m_list->setObjectName(QStringLiteral("ListBox1"));
        m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        m_owner->setCentralWidget(m_list);
        m_owner->resize(512, 380);
        m_owner->show();
        m_view = std::make_unique<WaveView>();
        m_reading = SignatureRecord{};
        m_cursor = std::make_unique<ListWidgetCursor>(*m_list);
        m_wave = new TWaveFrm(m_owner, *m_view, m_reading, *new TFm_TitleEnter(m_owner), *m_cursor);
    }

    void cleanup()
    {
        const bool unexpected = !m_dialogs->unexpected.isEmpty();
        const bool unanswered = !m_dialogs->allAnswered();
        const QString problems = m_dialogs->problems();
        delete m_owner; // owns the display
        m_owner = nullptr;
        m_scripted.reset();
        delete m_data;
        m_data = nullptr;
        QVERIFY2(!unexpected, qPrintable(problems));
        QVERIFY2(!unanswered, qPrintable(problems));
    }

    // Whatever the coordinates: every control inside the client area and
    // clear of the others except where the design lays one over another, and
    // each keeping its distances to its anchored edges at any size.
    void layoutTableKeepsItsShape()
    {
        QCOMPARE(layoutchecks::outside(TWaveFrm::Layout, TWaveFrm::ClientSize), QStringList());
        QCOMPARE(layoutchecks::overlaps(TWaveFrm::Layout),
                 QStringList({QStringLiteral("WaveChrt/Pn_Printing"), QStringLiteral("RecordLbl/BBtn_Prev"),
                              QStringLiteral("RecordLbl/BBtn_Next")}));
        auto* client = m_wave->findChild<QWidget*>(QStringLiteral("client"));
        m_wave->show();
        m_wave->TMR_Init->stop(); // nothing handed over to load: only the layout is looked at
        for (const QSize grow : {QSize(200, 100), QSize(0, 0), QSize(37, 211)}) {
            m_wave->resize(TWaveFrm::ClientSize.width() + grow.width(),
                           TWaveFrm::ClientSize.height() + m_wave->WaveMainMenu->sizeHint().height() + grow.height());
            QTRY_COMPARE(client->size(), TWaveFrm::ClientSize + grow);
            const QStringList wrong = layoutchecks::anchorMismatches(TWaveFrm::Layout, *client, TWaveFrm::ClientSize);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1String("; "))));
        }
        m_wave->hide();
    }

    void createdAsDesigned()
    {
        QCOMPARE(m_wave->objectName(), QStringLiteral("WaveFrm"));
        QCOMPARE(m_wave->windowTitle(), QStringLiteral("Signature Display"));
        QCOMPARE(m_wave->findChild<QWidget*>(QStringLiteral("client"))->size(), QSize(790, 552));
        QCOMPARE(m_wave->height(), 552 + m_wave->WaveMainMenu->sizeHint().height());
        // The layout table is the design, and the window shows it.
        using A = Anchors;
        const Placement designed[] = {{"WaveChrt", {0, 30, 790, 522}, A::All},
                                      {"RecordLbl", {0, 0, 790, 30}, A::Left | A::Top | A::Right, "Record Label Here"},
                                      {"BBtn_Prev", {725, 3, 29, 24}, A::TopRight},
                                      {"BBtn_Next", {757, 3, 29, 24}, A::TopRight},
                                      {"Pn_Printing", {293, 217, 192, 61}, A::TopLeft}};
        QCOMPARE(std::size(TWaveFrm::Layout), std::size(designed));
        for (std::size_t i = 0; i < std::size(designed); ++i) {
            const Placement& table = TWaveFrm::Layout[i];
            QCOMPARE(QLatin1String(table.name), QLatin1String(designed[i].name));
            QCOMPARE(table.designed, designed[i].designed);
            QCOMPARE(table.anchors, designed[i].anchors);
            QCOMPARE(QLatin1String(table.text), QLatin1String(designed[i].text));
        }
        const std::pair<QWidget*, QRect> placed[] = {{m_wave->RecordLbl, {0, 0, 790, 30}},
                                                     {chart(), {0, 30, 790, 522}},
                                                     {m_wave->BBtn_Prev, {725, 3, 29, 24}},
                                                     {m_wave->BBtn_Next, {757, 3, 29, 24}},
                                                     {m_wave->Pn_Printing, {293, 217, 192, 61}}};
        for (const auto& [w, rect] : placed)
            QCOMPARE(w->geometry(), rect);
        QCOMPARE(chart()->objectName(), QStringLiteral("WaveChrt"));
        QCOMPARE(m_wave->RecordLbl->text(), QStringLiteral("Record Label Here"));
        QVERIFY(m_wave->RecordLbl->font().bold());
        QCOMPARE(m_wave->BBtn_Prev->accessibleName(), QStringLiteral("Previous"));
        QCOMPARE(m_wave->BBtn_Next->accessibleName(), QStringLiteral("Next"));
        QVERIFY(!m_wave->BBtn_Next->icon().isNull() && !m_wave->BBtn_Prev->icon().isNull());
        QVERIFY(!m_wave->TMR_Init->isActive());
        QCOMPARE(m_wave->TMR_Init->interval(), 1);
        QVERIFY(m_wave->Pn_Printing->isHidden());
        for (int i = 0; i < 20; ++i)
            QCOMPARE(chart()->lineWidth(i), 1.0);

        // Menus, items, access keys and the first check marks.
        QStringList titles;
        for (QAction* a : m_wave->WaveMainMenu->actions())
            titles << a->text();
        QCOMPARE(titles, QStringList({QStringLiteral("File"), QStringLiteral("Edit"), QStringLiteral("Wave 1"),
                                      QStringLiteral("Wave 2"), QStringLiteral("Wave 3"), QStringLiteral("Wave 4"),
                                      QStringLiteral("Wave 5"), QStringLiteral("Options"), QStringLiteral("Go to")}));
        QCOMPARE(m_wave->Save1->text(), QStringLiteral("&Save Bitmap"));
        QCOMPARE(m_wave->ExportChart1->text(), QStringLiteral("&Export Chart..."));
        QCOMPARE(m_wave->CopyChart1->text(), QStringLiteral("&Copy Chart"));
        QCOMPARE(m_wave->Print1->text(), QStringLiteral("&Print"));
        QCOMPARE(m_wave->Exit1->text(), QStringLiteral("E&xit"));
        for (int w = 1; w <= 5; ++w) {
            QCOMPARE(m_wave->waveMenu(w)->objectName(), QStringLiteral("Wave%1").arg(w));
            for (int c = 1; c <= 4; ++c) {
                QAction* item = m_wave->channelItem(w, c);
                QCOMPARE(item->objectName(), QStringLiteral("W%1Ch%2").arg(w).arg(c));
                QCOMPARE(item->text(), QStringLiteral("Channel %1").arg(c));
                QCOMPARE(item->isChecked(), w < 5);
            }
        }
        QCOMPARE(m_wave->W2Ch3, m_wave->channelItem(2, 3));
        QCOMPARE(m_wave->Bold1->text(), QStringLiteral("Show Bold"));
        QCOMPARE(m_wave->HideLegend1->text(), QStringLiteral("Hide Legend"));
        QVERIFY(!m_wave->Bold1->isChecked() && !m_wave->HideLegend1->isChecked());
        QCOMPARE(m_wave->Next2->text(), QStringLiteral("Next"));
        QCOMPARE(m_wave->Previous1->text(), QStringLiteral("Previous"));

        // The arrows keep to the top right corner, the chart fills the rest.
        m_wave->show();
        m_wave->resize(900, m_wave->height() + 50);
        QTRY_COMPARE(m_wave->BBtn_Next->geometry(), QRect(867, 3, 29, 24));
        QCOMPARE(chart()->size(), QSize(900, 572));
        m_wave->close();
    }

    void oneFileShowsItsRecord()
    {
        const QStringList files = samples(1);
        view(files);
        const SignatureRecord expected = makeSampleSignature(0);
        QCOMPARE(m_view->waveRecords[0], expected);
        QCOMPARE(m_reading, expected);
        QCOMPARE(m_wave->RecordLbl->text(),
                 QStringLiteral("Time: %1   Date: %2   Job: %3   Ch1:%4   Ch2:%5   Ch3:%6   Ch4:%7")
                     .arg(QLatin1String(expected.timeText()), QLatin1String(expected.dateText()),
                          QLatin1String(expected.jobName()))
                     .arg(expected.peak(0), 0, 'f', 1)
                     .arg(expected.peak(1), 0, 'f', 1)
                     .arg(expected.peak(2), 0, 'f', 1)
                     .arg(expected.peak(3), 0, 'f', 1));
        QCOMPARE(visibleWaveMenus(), QStringList({QStringLiteral("Wave 1")}));
        for (int c = 1; c <= 4; ++c)
            QVERIFY(m_wave->channelItem(1, c)->isChecked());
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(series(i)->count(), i < 4 ? 448 : 0);
            QCOMPARE(chart()->isActive(i), i < 4);
        }
        for (int i : {0, 1, 223, 447}) {
            QCOMPARE(series(2)->at(i).y(), static_cast<double>(expected.load(2, i)));
            QVERIFY(std::abs(pointX(2, i) - expected.pointAngle(i)) < 1e-9);
        }
        QCOMPARE(chart()->bottomAxis()->min(), 90.0);
        QCOMPARE(chart()->bottomAxis()->max(), 314.0);
        // The legend lists the four curves shown.
        int entries = 0;
        for (QLegendMarker* m : chart()->chart()->legend()->markers())
            entries += m->isVisible();
        QCOMPARE(entries, 4);
    }

    void threeAndFiveFiles()
    {
        const QStringList files = samples(5);
        view(files.mid(0, 3));
        QCOMPARE(m_wave->RecordLbl->text(), QStringLiteral("3 Records Selected"));
        QCOMPARE(visibleWaveMenus(),
                 QStringList({QStringLiteral("Wave 1"), QStringLiteral("Wave 2"), QStringLiteral("Wave 3")}));
        QCOMPARE(activeCount(), 12);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(series(i)->count(), i < 12 ? 448 : 0);
        QVERIFY(!m_wave->channelItem(5, 1)->isChecked()); // hidden menus keep their marks
        m_wave->close();

        view(files);
        QCOMPARE(m_wave->RecordLbl->text(), QStringLiteral("5 Records Selected"));
        QCOMPARE(visibleWaveMenus(),
                 QStringList({QStringLiteral("Wave 1"), QStringLiteral("Wave 2"), QStringLiteral("Wave 3"),
                              QStringLiteral("Wave 4"), QStringLiteral("Wave 5")}));
        for (int c = 1; c <= 4; ++c)
            QVERIFY(m_wave->channelItem(5, c)->isChecked());
        QCOMPARE(activeCount(), 20);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(m_view->waveRecords[static_cast<std::size_t>(k)],
                     makeSampleSignature(static_cast<std::uint32_t>(k)));
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(series(i)->count(), 448);
            QCOMPARE(series(i)->at(100).y(),
                     static_cast<double>(m_view->waveRecords[static_cast<std::size_t>(i / 4)].load(i % 4, 100)));
        }
    }

    // Waves taken with different look windows: each lies at its own record's
    // angles and the bottom axis holds every window. One wave, or several with
    // one window, are drawn exactly as they always were.
    void eachWaveLiesAtItsOwnAngles_data()
    {
        QTest::addColumn<QList<int>>("windows"); // start and end of wave 1, then of wave 2 if shown
        QTest::addColumn<double>("axisMin");
        QTest::addColumn<double>("axisMax");
        QTest::newRow("one, no width") << QList<int>{120, 120} << 120.0 << 120.0 + 1e-10;
        QTest::newRow("one, reversed") << QList<int>{200, 100} << 100.0 << 200.0;
        QTest::newRow("one, from zero") << QList<int>{0, 224} << 0.0 << 224.0;
        QTest::newRow("two, apart") << QList<int>{90, 314, 0, 224} << 0.0 << 314.0;
        QTest::newRow("two, one window") << QList<int>{90, 314, 90, 314} << 90.0 << 314.0;
        QTest::newRow("two, second reversed") << QList<int>{90, 314, 400, 350} << 90.0 << 400.0;
        QTest::newRow("two, second wider") << QList<int>{100, 200, -50, 700} << -50.0 << 700.0;
        QTest::newRow("two, no width") << QList<int>{120, 120, 120, 120} << 120.0 << 120.0 + 1e-10;
    }
    void eachWaveLiesAtItsOwnAngles()
    {
        QFETCH(QList<int>, windows);
        QFETCH(double, axisMin);
        QFETCH(double, axisMax);
        const int waves = static_cast<int>(windows.size() / 2);
        QStringList files;
        for (int w = 0; w < waves; ++w) {
            SignatureRecord r = makeSampleSignature(static_cast<std::uint32_t>(w));
            r.setWindowStartAngle(static_cast<std::int16_t>(windows[2 * w]));
            r.setWindowEndAngle(static_cast<std::int16_t>(windows[2 * w + 1]));
            files << write(QStringLiteral("w%1.wav").arg(w + 1), r);
        }
        view(files);
        // Exactly: a fuzzy comparison would not tell 120 from 120 + 1e-10.
        QVERIFY2(chart()->bottomAxis()->min() == axisMin, qPrintable(QString::number(chart()->bottomMin(), 'g', 17)));
        QVERIFY2(chart()->bottomAxis()->max() == axisMax, qPrintable(QString::number(chart()->bottomMax(), 'g', 17)));

        // X by repeated addition of the wave's own step from its own start,
        // bit for bit as a single wave has always been laid out.
        for (int w = 0; w < waves; ++w) {
            const int start = windows[2 * w];
            const double step = (windows[2 * w + 1] - start) / 448.0;
            double x = start;
            for (int i = 0; i < 448; ++i) {
                for (int c = 0; c < 4; ++c)
                    QVERIFY2(pointX(4 * w + c, i) == x,
                             qPrintable(QStringLiteral("wave %1 point %2").arg(w + 1).arg(i)));
                QVERIFY(std::abs(x - m_view->waveRecords[static_cast<std::size_t>(w)].pointAngle(i)) < 1e-9);
                x += step;
            }
        }
        if (windows[0] == 0)
            QCOMPARE(pointX(0, 1), 0.5);
        if (windows[1] < windows[0])
            QVERIFY(pointX(0, 447) < pointX(0, 0));
    }

    // The read-out gives each curve's load at the angle under the mouse, and
    // nothing for a curve whose window does not reach it.
    void readoutReadsEachWaveAtItsOwnAngles()
    {
        SignatureRecord late = makeSampleSignature(0); // 90 .. 314
        SignatureRecord early = makeSampleSignature(1);
        early.setWindowStartAngle(0);
        early.setWindowEndAngle(224);
        view({write(QStringLiteral("late.wav"), late), write(QStringLiteral("early.wav"), early)});
        QCoreApplication::processEvents();

        auto shownAt = [this](double angle) {
            const QRectF plot = chart()->chart()->plotArea();
            const double fx = (angle - chart()->bottomMin()) / (chart()->bottomMax() - chart()->bottomMin());
            const QPoint at = chart()->mapFromScene(QPointF(plot.left() + fx * plot.width(), plot.center().y()));
            QMouseEvent move(QEvent::MouseMove, at, chart()->viewport()->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                             {});
            QApplication::sendEvent(chart()->viewport(), &move);
            QList<int> indices;
            for (const CursorReading::Row& row : chart()->readout()->reading().rows)
                indices << row.index;
            return indices;
        };
        QCOMPARE(shownAt(40), QList<int>({4, 5, 6, 7}));  // only the early window holds 40 degrees
        QCOMPARE(shownAt(280), QList<int>({0, 1, 2, 3})); // only the late one holds 280
        QCOMPARE(shownAt(150), QList<int>({0, 1, 2, 3, 4, 5, 6, 7}));

        // At 150 degrees: point 120 of the late record, point 300 of the early one.
        const CursorReading r = ChartCursor::readingAt(*chart(), 150);
        QCOMPARE(r.rows.size(), 8);
        QCOMPARE(r.rows[2].load, static_cast<double>(late.load(2, 120)));
        QCOMPARE(r.rows[6].load, static_cast<double>(early.load(2, 300)));
        QVERIFY(late.load(2, 120) != late.load(2, 300)); // the check can tell the points apart
    }

    void noSampleValuesAreDrawnAsZero()
    {
        SignatureRecord r = makeSampleSignature(0);
        r.setCurve(0, 10, -9999.0f);
        r.setCurve(0, 11, -9999.5f);
        r.setCurve(0, 12, std::numeric_limits<float>::quiet_NaN());
        r.setCurve(0, 13, -1.0e9f);
        r.setCurve(1, 14, 1.0e9f);
        view({write(QStringLiteral("floor.wav"), r)});
        QCOMPARE(series(0)->at(10).y(), -9999.0);
        QCOMPARE(series(0)->at(11).y(), 0.0);
        QCOMPARE(series(0)->at(12).y(), 0.0);
        QCOMPARE(series(0)->at(13).y(), 0.0);
        QCOMPARE(series(1)->at(14).y(), 1.0e9);
        // The left axis reaches the lowest and the highest point shown.
        QVERIFY(chart()->leftAxis()->min() <= -9999.0);
        QVERIFY(chart()->leftAxis()->max() >= 1.0e9);
    }

    void channelTogglesAreIndependentAndComeBackOnNext()
    {
        const QStringList files = samples(4);
        m_list->setCurrentRow(1, QItemSelectionModel::NoUpdate);
        view(files.mid(1, 2));
        m_wave->W2Ch3->trigger();
        QVERIFY(!m_wave->W2Ch3->isChecked());
        QVERIFY(!chart()->isActive(6));
        QVERIFY(!chart()->chart()->legend()->markers(series(6)).first()->isVisible());
        QCOMPARE(activeCount(), 7);
        m_wave->W2Ch3->trigger();
        QVERIFY(m_wave->W2Ch3->isChecked());
        QVERIFY(chart()->isActive(6));

        // Each flips its own state: a curve hidden behind the item's back
        // stays out of step with it.
        chart()->setActive(0, false);
        m_wave->W1Ch1->trigger();
        QVERIFY(!m_wave->W1Ch1->isChecked());
        QVERIFY(chart()->isActive(0));
        m_wave->W1Ch1Click();
        QVERIFY(m_wave->W1Ch1->isChecked());
        QVERIFY(!chart()->isActive(0));

        m_wave->W1Ch2->trigger();
        m_wave->W2Ch4->trigger();
        m_wave->Next2->trigger();
        QCOMPARE(activeCount(), 8);
        for (int w = 1; w <= 2; ++w)
            for (int c = 1; c <= 4; ++c)
                QVERIFY(m_wave->channelItem(w, c)->isChecked());
    }

    void nextAndPreviousStepThroughTheList()
    {
        const QStringList files = samples(4);
        m_list->item(0)->setSelected(true);
        m_list->item(3)->setSelected(true);
        m_list->setCurrentRow(2, QItemSelectionModel::NoUpdate);
        view({files[0], files[3], files[1]});

        // From the focused item, not the first selected; only wave 1 changes.
        QTest::mouseClick(m_wave->BBtn_Next, Qt::LeftButton);
        QCOMPARE(m_list->currentRow(), 3);
        QCOMPARE(m_view->viewFileNames[0], QFile::encodeName(files[3]).toStdString());
        QCOMPARE(m_view->waveRecords[0], makeSampleSignature(3));
        QCOMPARE(m_view->waveRecords[1], makeSampleSignature(3));
        QCOMPARE(m_view->waveRecords[2], makeSampleSignature(1));
        QCOMPARE(m_wave->RecordLbl->text(), QStringLiteral("3 Records Selected"));
        QCOMPARE(m_view->viewFileCount, 3);
        QCOMPARE(m_list->selectedItems().size(), 2); // moving the focus selects nothing

        // The last item stays and is read again.
        m_view->waveRecords[0] = SignatureRecord{};
        m_wave->Next2->trigger();
        QCOMPARE(m_list->currentRow(), 3);
        QCOMPARE(m_view->waveRecords[0], makeSampleSignature(3));

        QTest::mouseClick(m_wave->BBtn_Prev, Qt::LeftButton);
        QCOMPARE(m_list->currentRow(), 2);
        for (int i = 0; i < 3; ++i)
            m_wave->Previous1->trigger();
        QCOMPARE(m_list->currentRow(), 0);
        QCOMPARE(m_view->waveRecords[0], makeSampleSignature(0));
    }

    void steppingAnEmptyListIsAnIndexError()
    {
        const QStringList files = samples(2);
        view(files.mid(0, 1));
        m_list->clear(); // as the schedule may do while the display is open
        const std::string before = m_view->viewFileNames[0];
        const QString labelBefore = m_wave->RecordLbl->text();
        m_dialogs->expectError();
        QTest::mouseClick(m_wave->BBtn_Next, Qt::LeftButton);
        QCOMPARE(m_dialogs->last(Kind::Error)->text, QStringLiteral("List index out of bounds (-1)"));
        QCOMPARE(m_dialogs->last(Kind::Error)->title, QStringLiteral("Quorvex Dravel"));
        QCOMPARE(m_view->viewFileNames[0], before);
        QCOMPARE(m_wave->RecordLbl->text(), labelBefore);
        QCOMPARE(series(0)->count(), 448);
        m_dialogs->expectError();
        m_wave->Previous1->trigger();
        QCOMPARE(m_dialogs->last(Kind::Error)->text, QStringLiteral("List index out of bounds (-1)"));
    }

    void boldWidthsOutliveTheShowing()
    {
        const QStringList files = samples(4);
        view(files.mid(0, 2));
        m_wave->W1Ch2->trigger(); // hidden while bold is chosen: keeps width 1
        m_wave->Bold1->trigger();
        QVERIFY(m_wave->Bold1->isChecked());
        for (int i = 0; i < 20; ++i)
            QCOMPARE(chart()->lineWidth(i), i < 8 && i != 1 ? 2.0 : 1.0);
        QCOMPARE(series(0)->pen().color(), QColor(255, 255, 0));
        m_wave->close();

        view(files);
        QVERIFY(m_wave->Bold1->isChecked());
        for (int i = 0; i < 20; ++i)
            QCOMPARE(chart()->lineWidth(i), i < 8 && i != 1 ? 2.0 : 1.0);
        m_wave->Bold1->trigger();
        QVERIFY(!m_wave->Bold1->isChecked());
        for (int i = 0; i < 16; ++i)
            QCOMPARE(chart()->lineWidth(i), 1.0);
    }

    void legendToggleOutlivesTheShowing()
    {
        view(samples(1));
        m_wave->HideLegend1->trigger();
        QVERIFY(m_wave->HideLegend1->isChecked());
        QVERIFY(!chart()->isLegendVisible());
        m_wave->close();
        view({m_list->item(0)->text()});
        QVERIFY(!chart()->isLegendVisible());
        m_wave->HideLegend1->trigger();
        QVERIFY(!m_wave->HideLegend1->isChecked());
        QVERIFY(chart()->isLegendVisible());
    }

    void unreadableFilesAreNamedAndLeftEmpty()
    {
        const QStringList files = samples(3);
        const QString gone = m_data->filePath(QStringLiteral("gone.wav"));
        const QString folder = m_data->path();
        m_view->waveRecords[1] = makeSampleSignature(7); // must not reappear under another name
        m_dialogs->expectWarning();
        view({files[0], gone, files[2], folder});
        const auto* box = m_dialogs->last(Kind::Warning);
        QVERIFY(box);
        QCOMPARE(box->title, QStringLiteral("Quorvex Dravel"));
        const QStringList lines = box->text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(QStringLiteral("Cannot open  ") + gone), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Cannot open  ") + folder), qPrintable(lines[1]));
        QCOMPARE(m_view->waveRecords[1], SignatureRecord{});
        QCOMPARE(m_view->waveRecords[3], SignatureRecord{});
        QCOMPARE(m_view->waveRecords[2], makeSampleSignature(2)); // the rest goes on
        QVERIFY(!m_wave->isUnreadable(1) && m_wave->isUnreadable(2) && !m_wave->isUnreadable(3) &&
                m_wave->isUnreadable(4));

        // The unreadable waves draw nothing, list nothing in the legend and
        // offer nothing to tick; their menus stay, so the numbering stays plain.
        QCOMPARE(visibleWaveMenus().size(), 4);
        QCOMPARE(activeCount(), 8);
        for (int i = 0; i < 16; ++i) {
            const bool unread = i / 4 == 1 || i / 4 == 3;
            QCOMPARE(series(i)->count(), unread ? 0 : 448);
            QCOMPARE(chart()->isActive(i), !unread);
            QCOMPARE(chart()->chart()->legend()->markers(series(i)).first()->isVisible(), !unread);
            QAction* item = m_wave->channelItem(i / 4 + 1, i % 4 + 1);
            QCOMPARE(item->isChecked(), !unread);
            QCOMPARE(item->isEnabled(), !unread);
        }
        m_wave->W2Ch1->trigger(); // a disabled item does nothing
        QVERIFY(!chart()->isActive(4));
        QVERIFY(!m_wave->W2Ch1->isChecked());

        // Readable again on the next showing: the wave comes back whole.
        m_wave->close();
        QVERIFY(QFile::copy(files[1], gone));
        view({files[0], gone, files[2]});
        QCOMPARE(activeCount(), 12);
        for (int c = 1; c <= 4; ++c)
            QVERIFY(m_wave->channelItem(2, c)->isChecked() && m_wave->channelItem(2, c)->isEnabled());
        QVERIFY(!m_wave->isUnreadable(2));
    }

    void oneUnreadableFileSaysSoInTheLabel()
    {
        const QStringList files = samples(2);
        m_dialogs->expectWarning();
        view({m_data->filePath(QStringLiteral("gone.wav"))});
        // Not a record of blank texts and zero peaks.
        QCOMPARE(m_wave->RecordLbl->text(), QStringLiteral("gone.wav  (file could not be read)"));
        QCOMPARE(activeCount(), 0);
        QVERIFY(!m_wave->W1Ch1->isEnabled());

        // Stepping on to a readable file shows it as usual.
        m_wave->Next2->trigger();
        QVERIFY(m_wave->RecordLbl->text().startsWith(QLatin1String("Time: ")));
        QCOMPARE(activeCount(), 4);
        QVERIFY(m_wave->W1Ch1->isEnabled() && m_wave->W1Ch1->isChecked());
    }

    void unreadableFirstWaveLeavesTheScaleToTheNextOne()
    {
        const QStringList files = samples(2);
        m_dialogs->expectWarning();
        view({m_data->filePath(QStringLiteral("gone.wav")), files[1]});
        QCOMPARE(chart()->bottomMin(), 90.0);
        QCOMPARE(chart()->bottomMax(), 314.0);
        QCOMPARE(series(4)->count(), 448);
        QCOMPARE(series(4)->at(1).x(), 90.5);
        QCOMPARE(series(0)->count(), 0);
        QVERIFY(!chart()->isActive(0));
    }

    void readingStopsAtTheFirstEmptySlot()
    {
        const QStringList files = samples(3);
        m_view->waveRecords[1] = makeSampleSignature(5);
        m_view->waveRecords[2] = makeSampleSignature(6);
        view({files[0], QString(), files[2]});
        QCOMPARE(m_view->waveRecords[0], makeSampleSignature(0));
        QCOMPARE(m_view->waveRecords[1], makeSampleSignature(5)); // drawn from what the slots held
        QCOMPARE(m_view->waveRecords[2], makeSampleSignature(6));
        QCOMPARE(series(8)->at(200).y(), static_cast<double>(makeSampleSignature(6).load(0, 200)));
    }

    void unknownCountIsAnErrorThatClosesTheWindow_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("label");
        QTest::newRow("none") << 0
                              << "Time: 00:00:01   Date: 01/01/2026   Job: J   Ch1:1.0   Ch2:0.0   Ch3:0.0   Ch4:0.0";
        QTest::newRow("six") << 6 << "6 Records Selected";
    }
    void unknownCountIsAnErrorThatClosesTheWindow()
    {
        QFETCH(int, count);
        QFETCH(QString, label);
        SignatureRecord r;
        r.setTimeText("00:00:01");
        r.setDateText("01/01/2026");
        r.setJobName("J");
        r.setPeak(0, 1.0f);
        m_view->waveRecords[0] = r;
        const QStringList files = samples(5);
        view(files.mid(0, 1)); // something shown before
        QVERIFY(m_wave->isVisible());

        for (const QString& f : files)
            QFile::remove(f); // nothing may be read: no warning for them
        m_dialogs->expectError();
        m_view->viewFileCount = static_cast<std::int16_t>(count);
        m_wave->TMR_InitTimer();
        QCOMPARE(m_dialogs->last(Kind::Error)->text, QStringLiteral("Unknown Filecount"));
        QCOMPARE(m_dialogs->last(Kind::Error)->title, QStringLiteral("ERROR"));
        QVERIFY(!m_wave->isVisible());
        QVERIFY(visibleWaveMenus().isEmpty());
        QCOMPARE(activeCount(), 0);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(series(i)->count(), 0);
        if (count == 0) {
            m_view->waveRecords[0] = r;
            m_dialogs->expectError();
            m_wave->TMR_InitTimer();
        }
        QCOMPARE(m_wave->RecordLbl->text(), label);
    }

    void longTextsAreCutAtTheLabelsRoom()
    {
        SignatureRecord r = makeSampleSignature(0);
        r.setTimeText(std::string(600, 'T'));
        view({write(QStringLiteral("long.wav"), r)});
        QCOMPARE(m_wave->RecordLbl->text(), QStringLiteral("Time: ") + QString(249, QLatin1Char('T')));
        QCOMPARE(recordLabelText(r, 1).size(), 255u);
    }

    void labelTypeShrinksRatherThanHideBehindTheArrows()
    {
        QLabel* label = m_wave->RecordLbl;
        auto endsLeftOfTheArrows = [&] {
            return label->x() + label->indent() + label->fontMetrics().horizontalAdvance(label->text()) <
                   m_wave->BBtn_Prev->x();
        };
        view(samples(1));
        const int usual = label->font().pixelSize();
        QVERIFY(usual >= 11 && usual <= 13);
        QVERIFY(endsLeftOfTheArrows());
        SignatureRecord r = makeSampleSignature(0);
        r.setJobName("WWWWWWWWWWWWWWWWWWWWW");
        for (int c = 0; c < 4; ++c)
            r.setPeak(c, -12345.6f);
        m_wave->close();
        view({write(QStringLiteral("wide.wav"), r)});
        QVERIFY(label->font().pixelSize() < usual);
        QVERIFY(label->font().bold());
        QVERIFY(endsLeftOfTheArrows());
        // Room again when the window grows.
        m_wave->resize(1400, m_wave->height());
        QTRY_COMPARE(label->font().pixelSize(), 13);
    }

    void exitAndTheCloseBoxEndTheShowing()
    {
        view(samples(1));
        m_wave->Exit1->trigger();
        QVERIFY(!m_wave->isVisible());

        // Closed before the timer's first tick: that showing reads nothing.
        m_view->viewFileNames[0] = QFile::encodeName(m_data->filePath(QStringLiteral("gone.wav"))).toStdString();
        m_wave->show();
        QVERIFY(m_wave->TMR_Init->isActive());
        m_wave->close();
        QVERIFY(!m_wave->TMR_Init->isActive()); // no pass, so no box for the missing file either

        // Shown modally as View does, closed by its close box.
        m_view->viewFileNames[0] = QFile::encodeName(m_list->item(0)->text()).toStdString();
        QTimer::singleShot(50, m_wave, [this] { m_wave->close(); });
        m_wave->exec();
        QVERIFY(!m_wave->isVisible());
        QCOMPARE(series(0)->count(), 448);
    }
};

QTEST_MAIN(WaveFrmTest)
#include "tst_wavefrm.moc"
