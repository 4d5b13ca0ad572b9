// Tool > Trend... on the real main window: which files the Trend window is
// opened with, and its View reaching the program's signature display.
#include "MainWindowTestBase.h"
#include "ScriptedDialogs.h"
#include "TrendSamples.h"
#include "app/Program.h"
#include "app/TFm_Cmain.h"
#include "display/TWaveFrm.h"
#include "display/WaveView.h"
#include "trend/TrendTableModel.h"
#include "trend/TrendWindow.h"

#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <algorithm>

class TrendMenuTest : public MainWindowTestBase
{
    Q_OBJECT

    TrendWindow* trend() const { return m_program->Fm_Trend; }

    void select(std::initializer_list<int> rows)
    {
        cmain()->ListBox1->clearSelection();
        for (int r : rows)
            cmain()->ListBox1->item(r)->setSelected(true);
    }

    // The files the Trend window read, sorted.
    std::vector<std::string> trendFiles() const
    {
        std::vector<std::string> paths;
        for (const StrokeSummary& s : trend()->model().strokes())
            paths.push_back(s.path);
        std::sort(paths.begin(), paths.end());
        return paths;
    }

    void openTrend()
    {
        cmain()->Trend1->trigger();
        QVERIFY(trend()->isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!trend()->scan().isRunning(), 20000);
    }

private slots:
    void init()
    {
        setUpFolders();
        startWindows();
    }
    void cleanup() { tearDown(); }

    void theItemFollowsView()
    {
        const QList<QAction*> tool = cmain()->Tool1->actions();
        const auto view = std::find(tool.begin(), tool.end(), cmain()->View1);
        QVERIFY(view != tool.end() && view + 1 != tool.end());
        QCOMPARE(*(view + 1), cmain()->Trend1);
        QCOMPARE(cmain()->Trend1->objectName(), QStringLiteral("Trend1"));
        QCOMPARE(cmain()->Trend1->text(), QStringLiteral("Trend..."));
        QVERIFY(!trend()->isVisible()); // made at start-up, shown only when asked
        QCOMPARE(trend()->parentWidget(), static_cast<QWidget*>(cmain()));
        QVERIFY(trend()->isWindow());
    }

    void opensWithTheSelectedFilesOrTheWholeList()
    {
        // An empty list: the window opens empty, ready for a folder.
        openTrend();
        QCOMPARE(trend()->model().rowCount(), 0);
        QTRY_VERIFY(!trend()->scan().isRunning());
        QCOMPARE(trend()->Pb_Scan->text(), QStringLiteral("No files")); // not "1 of 1 files"

        const QStringList files = writeSamples(m_data->path(), 4);
        addFiles(files);
        select({1, 3});
        openTrend();
        QCOMPARE(trendFiles(), localPaths({files[1], files[3]}));

        select({2}); // one selected: a trend of one stroke says nothing, so the whole list
        openTrend();
        QCOMPARE(trendFiles(), localPaths(files));
        cmain()->ListBox1->clearSelection();
        openTrend();
        QCOMPARE(trendFiles(), localPaths(files));
    }

    void viewInTheTrendWindowOpensTheSignatureDisplay()
    {
        const QStringList files = writeSamples(m_data->path(), 3);
        addFiles(files);
        openTrend();
        QTableView* table = trend()->Tbl_Strokes;
        table->selectionModel()->select(trend()->model().index(2, 0),
                                        QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        const std::string chosen = trend()->model().strokes()[trend()->model().strokeOfRow(2)].path;
        QSignalSpy shown(m_program->WaveFrm, &QDialog::finished);
        QTimer::singleShot(0, m_program->WaveFrm, &QDialog::reject);
        QTest::mouseClick(trend()->Btn_View, Qt::LeftButton);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(m_program->view.viewFileCount, 1);
        QCOMPARE(m_program->view.viewFileNames[0], chosen);
    }
};

QTEST_MAIN(TrendMenuTest)
#include "tst_trendmenu.moc"
