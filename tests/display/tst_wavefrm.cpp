// Drives the signature display through its menus and buttons, with scripted
// dialogs and a file list like the main window's.
#include "SampleSignature.h"
#include "ScriptedDialogs.h"
#include "SignatureChart.h"
#include "SignatureFile.h"
#include "TWaveFrm.h"
#include "ViewHandoff.h"
#include "WaveRecords.h"

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
        for (std::size_t k = 0; k < viewFileNames.size(); ++k)
            viewFileNames[k] = k < static_cast<std::size_t>(files.size())
                                   ? QFile::encodeName(files[static_cast<qsizetype>(k)]).toStdString()
                                   : std::string();
        viewFileCount = static_cast<std::int16_t>(count < 0 ? files.size() : count);
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
        setDialogService(std::unique_ptr<DialogService>(m_dialogs));
        m_owner = new QMainWindow;
        m_list = new QListWidget;
        m_list->setObjectName(QStringLiteral("ListBox1"));
        m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        m_owner->setCentralWidget(m_list);
        m_owner->resize(512, 380);
        m_owner->show();
        m_wave = new TWaveFrm(m_owner);
        WaveFrm = m_wave;
        waveRecords.fill(SignatureRecord{});
    }

    void cleanup()
    {
        QVERIFY2(m_dialogs->unexpected.isEmpty(), qPrintable(m_dialogs->problems()));
        QVERIFY2(m_dialogs->allAnswered(), qPrintable(m_dialogs->problems()));
        delete m_owner; // owns the display
        WaveFrm = nullptr;
        delete m_data;
    }

    void createdAsDesigned()
    {
        QCOMPARE(m_wave->objectName(), QStringLiteral("WaveFrm"));
        QCOMPARE(m_wave->windowTitle(), QStringLiteral("Signature Display"));
        QCOMPARE(m_wave->findChild<QWidget*>(QStringLiteral("client"))->size(), QSize(790, 552));
        QCOMPARE(m_wave->height(), 552 + m_wave->WaveMainMenu->sizeHint().height());
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
        QCOMPARE(titles, QStringList({"File", "Wave 1", "Wave 2", "Wave 3", "Wave 4", "Wave 5", "Options", "Go to"}));
        QCOMPARE(m_wave->Save1->text(), QStringLiteral("&Save Bitmap"));
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
        QCOMPARE(waveRecords[0], expected);
        QCOMPARE(currentSignature, expected);
        QCOMPARE(m_wave->RecordLbl->text(),
                 QStringLiteral("Time: %1   Date: %2   Job: %3   Ch1:%4   Ch2:%5   Ch3:%6   Ch4:%7")
                     .arg(QLatin1String(expected.timeText()), QLatin1String(expected.dateText()),
                          QLatin1String(expected.jobName()))
                     .arg(expected.peak(0), 0, 'f', 1)
                     .arg(expected.peak(1), 0, 'f', 1)
                     .arg(expected.peak(2), 0, 'f', 1)
                     .arg(expected.peak(3), 0, 'f', 1));
        QCOMPARE(visibleWaveMenus(), QStringList({"Wave 1"}));
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
        QCOMPARE(visibleWaveMenus(), QStringList({"Wave 1", "Wave 2", "Wave 3"}));
        QCOMPARE(activeCount(), 12);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(series(i)->count(), i < 12 ? 448 : 0);
        QVERIFY(!m_wave->channelItem(5, 1)->isChecked()); // hidden menus keep their marks
        m_wave->close();

        view(files);
        QCOMPARE(m_wave->RecordLbl->text(), QStringLiteral("5 Records Selected"));
        QCOMPARE(visibleWaveMenus(), QStringList({"Wave 1", "Wave 2", "Wave 3", "Wave 4", "Wave 5"}));
        for (int c = 1; c <= 4; ++c)
            QVERIFY(m_wave->channelItem(5, c)->isChecked());
        QCOMPARE(activeCount(), 20);
        for (int k = 0; k < 5; ++k)
            QCOMPARE(waveRecords[static_cast<std::size_t>(k)], makeSampleSignature(static_cast<std::uint32_t>(k)));
        for (int i = 0; i < 20; ++i) {
            QCOMPARE(series(i)->count(), 448);
            QCOMPARE(series(i)->at(100).y(),
                     static_cast<double>(waveRecords[static_cast<std::size_t>(i / 4)].load(i % 4, 100)));
        }
    }

    void windowsOfWaveOneSetTheScale_data()
    {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("end");
        QTest::addColumn<double>("axisMin");
        QTest::addColumn<double>("axisMax");
        QTest::newRow("equal") << 120 << 120 << 120.0 << 120.0 + 1e-10;
        QTest::newRow("reversed") << 200 << 100 << 100.0 << 200.0;
        QTest::newRow("from zero") << 0 << 224 << 0.0 << 224.0;
    }
    void windowsOfWaveOneSetTheScale()
    {
        QFETCH(int, start);
        QFETCH(int, end);
        QFETCH(double, axisMin);
        QFETCH(double, axisMax);
        SignatureRecord first = makeSampleSignature(0);
        first.setWindowStartAngle(static_cast<std::int16_t>(start));
        first.setWindowEndAngle(static_cast<std::int16_t>(end));
        SignatureRecord second = makeSampleSignature(1);
        second.setWindowStartAngle(-50); // its own window plays no part
        second.setWindowEndAngle(700);
        view({write("a.wav", first), write("b.wav", second)});
        QCOMPARE(chart()->bottomAxis()->min(), axisMin);
        QCOMPARE(chart()->bottomAxis()->max(), axisMax);

        // X by repeated addition of wave 1's step, for every wave alike.
        const double step = (end - start) / 448.0;
        double x = start;
        for (int i = 0; i < 448; ++i) {
            for (int s = 0; s < 8; ++s)
                QCOMPARE(pointX(s, i), x);
            x += step;
        }
        if (start == 0)
            QCOMPARE(pointX(0, 1), 0.5);
        if (end < start)
            QVERIFY(pointX(4, 447) < pointX(4, 0));
    }

    void noSampleValuesAreDrawnAsZero()
    {
        SignatureRecord r = makeSampleSignature(0);
        r.setCurve(0, 10, -9999.0f);
        r.setCurve(0, 11, -9999.5f);
        r.setCurve(0, 12, std::numeric_limits<float>::quiet_NaN());
        r.setCurve(0, 13, -1.0e9f);
        r.setCurve(1, 14, 1.0e9f);
        view({write("floor.wav", r)});
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
        QCOMPARE(viewFileNames[0], QFile::encodeName(files[3]).toStdString());
        QCOMPARE(waveRecords[0], makeSampleSignature(3));
        QCOMPARE(waveRecords[1], makeSampleSignature(3));
        QCOMPARE(waveRecords[2], makeSampleSignature(1));
        QCOMPARE(m_wave->RecordLbl->text(), QStringLiteral("3 Records Selected"));
        QCOMPARE(viewFileCount, 3);
        QCOMPARE(m_list->selectedItems().size(), 2); // moving the focus selects nothing

        // The last item stays and is read again.
        waveRecords[0] = SignatureRecord{};
        m_wave->Next2->trigger();
        QCOMPARE(m_list->currentRow(), 3);
        QCOMPARE(waveRecords[0], makeSampleSignature(3));

        QTest::mouseClick(m_wave->BBtn_Prev, Qt::LeftButton);
        QCOMPARE(m_list->currentRow(), 2);
        for (int i = 0; i < 3; ++i)
            m_wave->Previous1->trigger();
        QCOMPARE(m_list->currentRow(), 0);
        QCOMPARE(waveRecords[0], makeSampleSignature(0));
    }

    void steppingAnEmptyListIsAnIndexError()
    {
        const QStringList files = samples(2);
        view(files.mid(0, 1));
        m_list->clear(); // as the schedule may do while the display is open
        const std::string before = viewFileNames[0];
        const QString labelBefore = m_wave->RecordLbl->text();
        m_dialogs->expectError();
        QTest::mouseClick(m_wave->BBtn_Next, Qt::LeftButton);
        QCOMPARE(m_dialogs->last(Kind::Error)->text, QStringLiteral("List index out of bounds (-1)"));
        QCOMPARE(m_dialogs->last(Kind::Error)->title, QStringLiteral("Quorvex Dravel"));
        QCOMPARE(viewFileNames[0], before);
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
        waveRecords[1] = makeSampleSignature(7); // must not reappear under another name
        m_dialogs->expectMessage();
        view({files[0], gone, files[2], folder});
        const auto* box = m_dialogs->last(Kind::Message);
        QVERIFY(box);
        QCOMPARE(box->title, QStringLiteral("Quorvex Dravel"));
        const QStringList lines = box->text.split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 2);
        QVERIFY2(lines[0].startsWith(QStringLiteral("Cannot open  ") + gone), qPrintable(lines[0]));
        QVERIFY2(lines[1].startsWith(QStringLiteral("Cannot open  ") + folder), qPrintable(lines[1]));
        QCOMPARE(waveRecords[1], SignatureRecord{});
        QCOMPARE(waveRecords[3], SignatureRecord{});
        for (int i = 0; i < 16; ++i)
            QCOMPARE(series(i)->count(), (i / 4 == 1 || i / 4 == 3) ? 0 : 448);
        QCOMPARE(waveRecords[2], makeSampleSignature(2)); // the rest goes on
        QCOMPARE(visibleWaveMenus().size(), 4);
        QCOMPARE(activeCount(), 16);
    }

    void unreadableFirstWaveLeavesTheScaleToTheNextOne()
    {
        const QStringList files = samples(2);
        m_dialogs->expectMessage();
        view({m_data->filePath(QStringLiteral("gone.wav")), files[1]});
        QCOMPARE(chart()->bottomMin(), 90.0);
        QCOMPARE(chart()->bottomMax(), 314.0);
        QCOMPARE(series(4)->count(), 448);
        QCOMPARE(series(4)->at(1).x(), 90.5);
        QCOMPARE(series(0)->count(), 0);
    }

    void readingStopsAtTheFirstEmptySlot()
    {
        const QStringList files = samples(3);
        waveRecords[1] = makeSampleSignature(5);
        waveRecords[2] = makeSampleSignature(6);
        view({files[0], QString(), files[2]});
        QCOMPARE(waveRecords[0], makeSampleSignature(0));
        QCOMPARE(waveRecords[1], makeSampleSignature(5)); // drawn from what the slots held
        QCOMPARE(waveRecords[2], makeSampleSignature(6));
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
        waveRecords[0] = r;
        const QStringList files = samples(5);
        view(files.mid(0, 1)); // something shown before
        QVERIFY(m_wave->isVisible());

        for (const QString& f : files)
            QFile::remove(f); // nothing may be read: no warning for them
        m_dialogs->expectError();
        viewFileCount = static_cast<std::int16_t>(count);
        m_wave->TMR_InitTimer();
        QCOMPARE(m_dialogs->last(Kind::Error)->text, QStringLiteral("Unknown Filecount"));
        QCOMPARE(m_dialogs->last(Kind::Error)->title, QStringLiteral("ERROR"));
        QVERIFY(!m_wave->isVisible());
        QVERIFY(visibleWaveMenus().isEmpty());
        QCOMPARE(activeCount(), 0);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(series(i)->count(), 0);
        if (count == 0) {
            waveRecords[0] = r;
            m_dialogs->expectError();
            m_wave->TMR_InitTimer();
        }
        QCOMPARE(m_wave->RecordLbl->text(), label);
    }

    void longTextsAreCutAtTheLabelsRoom()
    {
        SignatureRecord r = makeSampleSignature(0);
        r.setTimeText(std::string(600, 'T'));
        view({write("long.wav", r)});
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
        view({write("wide.wav", r)});
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
        viewFileNames[0] = QFile::encodeName(m_data->filePath(QStringLiteral("gone.wav"))).toStdString();
        m_wave->show();
        QVERIFY(m_wave->TMR_Init->isActive());
        m_wave->close();
        QVERIFY(!m_wave->TMR_Init->isActive()); // no pass, so no box for the missing file either

        // Shown modally as View does, closed by its close box.
        viewFileNames[0] = QFile::encodeName(m_list->item(0)->text()).toStdString();
        QTimer::singleShot(50, m_wave, [this] { m_wave->close(); });
        m_wave->exec();
        QVERIFY(!m_wave->isVisible());
        QCOMPARE(series(0)->count(), 448);
    }
};

QTEST_MAIN(WaveFrmTest)
#include "tst_wavefrm.moc"
