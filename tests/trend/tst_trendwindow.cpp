// Drives the Trend window as a user does, with scripted dialogs and a
// recording stand-in for the signature display.
#include "ScopedService.h"
#include "ScriptedDialogs.h"
#include "TrendSamples.h"
#include "analysis/SummaryTable.h"
#include "samplegen/SampleSignature.h"
#include "trend/TrendStatsStrip.h"
#include "trend/TrendTableModel.h"
#include "trend/TrendWindow.h"
#include "trendchart/TrendChart.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <future>
#include <memory>

using Kind = ScriptedDialogs::Kind;

class TrendWindowTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    ScriptedDialogs* m_dialogs = nullptr;
    std::unique_ptr<ScopedDialogs> m_scripted;
    std::unique_ptr<TrendWindow> m_window;
    std::vector<std::vector<std::string>> m_viewed; // what View handed over, call by call

    QString path(const QString& name) const { return m_dir->filePath(name); }
    TrendTableModel& model() const { return m_window->model(); }

    // Reads paths into the window and waits until the scan has finished.
    void scan(const QStringList& paths)
    {
        m_window->showPaths(localPaths(paths));
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->scan().isRunning(), 20000);
    }

    std::vector<std::string> rowPaths() const
    {
        std::vector<std::string> paths;
        for (int r = 0; r < model().rowCount(); ++r)
            paths.push_back(model().strokes()[model().strokeOfRow(r)].path);
        return paths;
    }

    void selectRows(std::initializer_list<int> rows)
    {
        QTableView* table = m_window->Tbl_Strokes;
        table->clearSelection();
        for (int r : rows)
            table->selectionModel()->select(model().index(r, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    // The text of the last box of kind shown; empty when none was.
    QString lastText(Kind kind) const
    {
        const ScriptedDialogs::Call* call = m_dialogs->last(kind);
        return call ? call->text : QString();
    }

    static int columnNamed(const char* name)
    {
        const auto& columns = summaryColumns();
        const auto at = std::find_if(columns.begin(), columns.end(), [&](const auto& c) { return c.name == name; });
        return static_cast<int>(at - columns.begin());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_dialogs = new ScriptedDialogs;
        m_scripted = std::make_unique<ScopedDialogs>(std::unique_ptr<DialogService>(m_dialogs));
        m_viewed.clear();
        m_window = std::make_unique<TrendWindow>(
            nullptr, [this](const std::vector<std::string>& paths) { m_viewed.push_back(paths); });
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

    void cancelKeepsTheRowsReadAndTheWindowGoesOn()
    {
        // Enough files that every thread reading one more still leaves some.
        const QStringList files = writeSamples(m_dir->path(), 20 + 2 * TrendScan::defaultJobs());
        // The scan is held as it hands over its tenth file until Cancel has
        // been clicked, so it is stopped part-way however fast the machine
        // reads: the hand-over is one at a time, so while it is held each of
        // the other threads can read at most one file more.
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        std::atomic<bool> held{false};
        std::atomic<int> handed{0};
        m_window->scan().setFileGate([&, released](std::size_t) {
            if (++handed == 10) {
                held = true;
                released.wait_for(std::chrono::seconds(20));
            }
        });
        m_window->showPaths(localPaths(files));
        QVERIFY(m_window->Btn_Cancel->isEnabled());
        QTRY_VERIFY(held.load());
        QTRY_VERIFY(model().rowCount() >= 9); // rows appear while the scan runs
        QTest::mouseClick(m_window->Btn_Cancel, Qt::LeftButton);
        QVERIFY(!m_window->Btn_Cancel->isEnabled());
        release.set_value();
        QTRY_VERIFY(!m_window->scan().isRunning());
        const int kept = model().rowCount();
        QVERIFY2(kept >= 10 && kept < files.size(), qPrintable(QString::number(kept)));
        QVERIFY(!m_window->Btn_Cancel->isEnabled());
        QVERIFY(m_window->failures().empty()); // skipped files are not unreadable ones
        QVERIFY(m_window->Lb_Unreadable->isHidden());
        QCOMPARE(m_window->Chart->strokeCount(), kept);
        QCOMPARE(m_window->Stats->figureText(0, 0), QString::number(kept));

        // The window goes on: it filters what it kept, and a second scan reads everything.
        m_window->Ed_Job->setText(QStringLiteral("no such job"));
        QCOMPARE(model().rowCount(), 0);
        m_window->Ed_Job->clear();
        QCOMPARE(model().rowCount(), kept);
        m_window->scan().setFileGate({});
        scan(files);
        QCOMPARE(model().rowCount(), files.size());
    }

    void aNewScanOrClosingLeavesTheOldScanBehindCleanly()
    {
        const QStringList files = writeSamples(m_dir->path(), 40);
        std::promise<void> release;
        std::shared_future<void> released = release.get_future().share();
        std::atomic<bool> held{false};
        std::atomic<int> handed{0};
        m_window->scan().setFileGate([&, released](std::size_t) {
            if (++handed == 5) {
                held = true;
                released.wait_for(std::chrono::seconds(20));
            }
        });
        m_window->showPaths(localPaths(files));
        QTRY_VERIFY(held.load());

        // A second scan while the first is held: only the second's strokes show.
        m_window->scan().setFileGate({});
        const QStringList few = files.mid(30);
        scan(few);
        QCOMPARE(model().rowCount(), few.size());
        release.set_value();
        QTest::qWait(3 * TrendScan::DrainInterval); // the first scan winds down; none of it may show
        QCOMPARE(model().rowCount(), few.size());
        const std::vector<std::string> wanted = localPaths(few);
        for (const std::string& p : rowPaths())
            QVERIFY(std::find(wanted.begin(), wanted.end(), p) != wanted.end());

        // Closing the window stops its scan; the window can be closed and
        // destroyed with threads still reading.
        const QStringList many = writeSamples(m_dir->path(), 300, 100);
        m_window->showPaths(localPaths(many));
        m_window->close();
        QTRY_VERIFY(!m_window->scan().isRunning());
        QVERIFY(model().rowCount() <= many.size());
        m_window->showPaths(localPaths(many));
        m_window.reset();
    }

    void filtersByJobAndMode()
    {
        const QStringList files = writeSamples(m_dir->path(), 50);
        scan(files);
        QCOMPARE(model().rowCount(), files.size());

        // The counts the filters should come to, from the files themselves.
        int plate = 0, setup = 0, plateSetup = 0;
        for (const QString& f : files) {
            const StrokeSummary s = summaryOf(f);
            const bool isPlate = QString::fromLatin1(s.job).contains(QStringLiteral("plate"), Qt::CaseInsensitive);
            plate += isPlate;
            setup += s.mode == "SETUP";
            plateSetup += isPlate && s.mode == "SETUP";
        }
        QVERIFY(plate > 0 && setup > 0 && plate < files.size() && setup < files.size());

        QComboBox* mode = m_window->Cb_Mode;
        QCOMPARE(mode->count(), 3);
        QCOMPARE(mode->itemText(0), QStringLiteral("All modes"));
        QCOMPARE(mode->itemText(1), QStringLiteral("MONITOR"));
        QCOMPARE(mode->itemText(2), QStringLiteral("SETUP"));

        QTest::keyClicks(m_window->Ed_Job, QStringLiteral("pLATe"));
        QCOMPARE(model().rowCount(), plate);
        mode->setCurrentIndex(2);
        QCOMPARE(model().rowCount(), plateSetup);
        m_window->Ed_Job->clear();
        QCOMPARE(model().rowCount(), setup);
        // The chart and the statistics follow the rows shown.
        QCOMPARE(m_window->Chart->strokeCount(), setup);
        QCOMPARE(m_window->Stats->figureText(3, 0), QString::number(setup));
        QCOMPARE(m_window->Lb_Rows->text(), QStringLiteral("%1 of %2 strokes shown").arg(setup).arg(files.size()));

        // A new scan keeps the chosen mode, in the combo and in the rows alike.
        scan(files.mid(0, 10));
        QCOMPARE(mode->currentText(), QStringLiteral("SETUP"));
        int setupOfTen = 0;
        for (const QString& f : files.mid(0, 10))
            setupOfTen += summaryOf(f).mode == "SETUP";
        QCOMPARE(model().rowCount(), setupOfTen);
        mode->setCurrentIndex(0);
        QCOMPARE(model().rowCount(), 10);
    }

    void sortsByAPeakColumnFromItsHeader()
    {
        scan(writeSamples(m_dir->path(), 30));
        const int column = columnNamed("Peak Ch3");
        QHeaderView* header = m_window->Tbl_Strokes->horizontalHeader();
        m_window->show();
        m_window->Tbl_Strokes->scrollTo(model().index(0, column));
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        const auto peaks = [&] {
            std::vector<float> values;
            for (int r = 0; r < model().rowCount(); ++r)
                values.push_back(model().strokes()[model().strokeOfRow(r)].channels[2].peak);
            return values;
        };
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(model().sortColumn(), column);
        const std::vector<float> first = peaks();
        QVERIFY(std::is_sorted(first.begin(), first.end()) || std::is_sorted(first.rbegin(), first.rend()));
        QVERIFY(first.front() != first.back());
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
        const std::vector<float> second = peaks();
        QCOMPARE(std::vector<float>(second.rbegin(), second.rend()), first);
    }

    void viewHandsTheSelectedStrokesToTheDisplay()
    {
        scan(writeSamples(m_dir->path(), 12));
        m_window->Tbl_Strokes->sortByColumn(columnNamed("Peak Ch1"), Qt::DescendingOrder);
        const std::vector<std::string> rows = rowPaths();

        selectRows({4, 1, 7});
        QTest::mouseClick(m_window->Btn_View, Qt::LeftButton);
        QCOMPARE(m_viewed.size(), std::size_t{1});
        QCOMPARE(m_viewed[0], (std::vector<std::string>{rows[1], rows[4], rows[7]})); // top to bottom

        selectRows({0, 1, 2, 3, 4, 5});
        m_dialogs->expectMessage();
        QTest::mouseClick(m_window->Btn_View, Qt::LeftButton);
        QCOMPARE(lastText(Kind::Message), QStringLiteral("Select one to five strokes to view."));
        m_window->Tbl_Strokes->clearSelection();
        m_dialogs->expectMessage();
        QTest::mouseClick(m_window->Btn_View, Qt::LeftButton);
        QCOMPARE(m_viewed.size(), std::size_t{1});
    }

    void aClickedPointSelectsItsRow()
    {
        scan(writeSamples(m_dir->path(), 20));
        m_window->Tbl_Strokes->sortByColumn(columnNamed("Peak Ch4"), Qt::AscendingOrder);
        emit m_window->Chart->strokeClicked(7);
        const QModelIndexList selected = m_window->Tbl_Strokes->selectionModel()->selectedRows();
        QCOMPARE(selected.size(), 1);
        // Point 7 is the eighth stroke read; the row shows that stroke.
        QCOMPARE(model().strokeOfRow(selected[0].row()), std::size_t{7});
        QCOMPARE(m_window->Tbl_Strokes->currentIndex().row(), selected[0].row());
        // The selected rows' points are the ones the chart rings.
        QCOMPARE(m_window->Chart->selected(), std::vector<std::int32_t>{7});
        m_window->Tbl_Strokes->selectionModel()->select(model().index(model().rowOfStroke(3), 0),
                                                        QItemSelectionModel::Select | QItemSelectionModel::Rows);
        std::vector<std::int32_t> ringed = m_window->Chart->selected();
        std::sort(ringed.begin(), ringed.end());
        QCOMPARE(ringed, (std::vector<std::int32_t>{3, 7}));
    }

    void exportWritesTheShownRowsAsTheSummaryFile()
    {
        // Names in the reverse order of the strokes' times: the file's order
        // is neither the order the files are read in nor the table's.
        QStringList files;
        for (int i = 0; i < 25; ++i)
            files << writeRecord(path(QStringLiteral("H%1").arg(i, 2, 10, QLatin1Char('0'))),
                                 makeSampleSignature(static_cast<std::uint32_t>(24 - i)));
        scan(files);
        m_window->Tbl_Strokes->sortByColumn(columnNamed("Peak Ch2"), Qt::DescendingOrder);
        m_window->Cb_Mode->setCurrentIndex(1); // MONITOR

        std::vector<StrokeSummary> expected;
        for (const QString& f : files)
            if (StrokeSummary s = summaryOf(f); s.mode == "MONITOR")
                expected.push_back(s);
        sortStrokes(expected);
        QVERIFY(expected.size() < static_cast<std::size_t>(files.size()));

        const QString csv = path(QStringLiteral("out.csv"));
        m_dialogs->expectSave(csv);
        QTest::mouseClick(m_window->Btn_Export, Qt::LeftButton);
        QFile written(csv);
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll().toStdString(), summaryCsv(expected));

        const QString png = path(QStringLiteral("chart.png"));
        m_dialogs->expectSave(png);
        QTest::mouseClick(m_window->Btn_Export, Qt::LeftButton);
        QFile picture(png);
        QVERIFY(picture.open(QIODevice::ReadOnly));
        QCOMPARE(picture.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
        // The dialog offers the name chosen last.
        QVERIFY(m_dialogs->last(Kind::Save));
        QCOMPARE(m_dialogs->last(Kind::Save)->fileName, csv);

        // Failures are shown with the reason; nothing is written.
        const QString nowhere = path(QStringLiteral("missing/out.csv"));
        m_dialogs->expectSave(nowhere);
        m_dialogs->expectError();
        QTest::mouseClick(m_window->Btn_Export, Qt::LeftButton);
        QVERIFY(lastText(Kind::Error).contains(nowhere));
        QVERIFY(!QFile::exists(nowhere));
        m_dialogs->expectSave(path(QStringLiteral("out.txt")));
        m_dialogs->expectError();
        QTest::mouseClick(m_window->Btn_Export, Qt::LeftButton);
        QVERIFY(!QFile::exists(path(QStringLiteral("out.txt"))));
    }

    void unreadableFilesAreCountedAndListed()
    {
        QStringList files = writeSamples(m_dir->path(), 5);
        QFile shortFile(path(QStringLiteral("Hshort")));
        QVERIFY(shortFile.open(QIODevice::WriteOnly));
        shortFile.write("too short");
        shortFile.close();
        files.insert(2, shortFile.fileName());
        scan(files);
        QCOMPARE(model().rowCount(), 5);
        QVERIFY(m_window->Lb_Unreadable->isVisibleTo(m_window.get()));
        QCOMPARE(m_window->Lb_Unreadable->text(), QStringLiteral("1 file could not be read"));

        const QString missing = path(QStringLiteral("Hmissing"));
        QFile audio(path(QStringLiteral("tone.wav")));
        QVERIFY(audio.open(QIODevice::WriteOnly));
        const std::string wave = makeWaveAudio(20000);
        audio.write(wave.data(), static_cast<qint64>(wave.size()));
        audio.close();
        files << missing << audio.fileName();
        scan(files);
        QCOMPARE(model().rowCount(), 5);
        QCOMPARE(m_window->Lb_Unreadable->text(), QStringLiteral("3 files could not be read"));
        m_dialogs->expectMessage();
        QTest::mouseClick(m_window->Btn_Details, Qt::LeftButton);
        const QString listed = lastText(Kind::Message);
        for (const QString& bad : {shortFile.fileName(), missing, audio.fileName()})
            QVERIFY2(listed.contains(bad + QStringLiteral(": ")), qPrintable(listed));
        QCOMPARE(m_window->failures().size(), std::size_t{3});
        for (const ScanFailure& f : m_window->failures())
            QVERIFY2(!f.reason.empty(), f.path.c_str());

        // A new scan starts its count afresh.
        scan(files.mid(0, 2));
        QVERIFY(m_window->Lb_Unreadable->isHidden());
    }

    void openFolderReadsItsSignatureFilesWithoutFollowingLinks()
    {
        const QString top = m_dir->path();
        const QStringList direct = writeSamples(top, 3);
        QVERIFY(QDir(top).mkdir(QStringLiteral("sub")));
        writeSamples(path(QStringLiteral("sub")), 2, 10);
        QVERIFY(QFile::link(direct[0], path(QStringLiteral("Hlink"))));

        m_dialogs->expectDirectory(top);
        QTest::mouseClick(m_window->Btn_OpenFolder, Qt::LeftButton);
        QTRY_VERIFY(!m_window->scan().isRunning());
        QCOMPARE(model().rowCount(), 3);

        m_window->Chk_Subfolders->setChecked(true);
        m_dialogs->expectDirectory(top);
        QTest::mouseClick(m_window->Btn_OpenFolder, Qt::LeftButton);
        QTRY_VERIFY(!m_window->scan().isRunning());
        QCOMPARE(model().rowCount(), 5);
        QVERIFY(m_dialogs->last(Kind::Directory));
        QCOMPARE(m_dialogs->last(Kind::Directory)->directory, top); // opens where the last folder was
    }

    void strokesWithoutATimeAreLeftOffTheTimeAxisAndCounted()
    {
        QStringList files = writeSamples(m_dir->path(), 6);
        SignatureRecord undated = makeSampleSignature(40);
        undated.setDateText("13/45/26");
        files << writeRecord(path(QStringLiteral("Hundated")), undated);
        scan(files);
        QCOMPARE(model().rowCount(), 7);
        QCOMPARE(m_window->Chart->strokeCount(), 7);
        QVERIFY(m_window->Lb_NoTime->isHidden());

        m_window->Cb_Axis->setCurrentIndex(1);
        QCOMPARE(m_window->Chart->axis(), TrendAxis::Timestamp);
        QCOMPARE(m_window->Chart->strokeCount(), 6);
        QVERIFY(m_window->Lb_NoTime->isVisibleTo(m_window.get()));
        QCOMPARE(m_window->Lb_NoTime->text(), QStringLiteral("1 stroke has no time and is not on the chart"));
        QCOMPARE(model().rowCount(), 7); // the table still shows it
        m_window->Cb_Axis->setCurrentIndex(0);
        QCOMPARE(m_window->Chart->strokeCount(), 7);
    }
};

QTEST_MAIN(TrendWindowTest)
#include "tst_trendwindow.moc"
