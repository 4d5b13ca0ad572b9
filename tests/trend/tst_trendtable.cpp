// The Trend window's table model on its own: sorting, merging strokes that
// arrive while a sort is in force, filtering, and what its cells show.
#include "analysis/SummaryTable.h"
#include "trend/TrendTableModel.h"

#include <QColor>
#include <QItemSelectionModel>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

constexpr float NoPeak = std::numeric_limits<float>::quiet_NaN();

int columnNamed(const char* name)
{
    const auto& columns = summaryColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name)
            return static_cast<int>(i);
    throw std::runtime_error(std::string("no column ") + name);
}

StrokeSummary stroke(const std::string& path, float peak2, const std::string& job = "JOB",
                     const std::string& mode = "MONITOR")
{
    StrokeSummary s;
    s.path = path;
    s.job = job;
    s.mode = mode;
    s.channels[1].peak = peak2;
    return s;
}

// The paths of the rows, top to bottom.
std::vector<std::string> rowPaths(const TrendTableModel& model)
{
    std::vector<std::string> paths;
    for (int r = 0; r < model.rowCount(); ++r)
        paths.push_back(model.strokes()[model.strokeOfRow(r)].path);
    return paths;
}

using Paths = std::vector<std::string>;

} // namespace

class TrendTableTest : public QObject
{
    Q_OBJECT

private slots:
    void sortsByANumberColumnWithEmptyCellsLastEitherWay()
    {
        TrendTableModel model;
        model.append({stroke("a", 5), stroke("b", NoPeak), stroke("c", 1), stroke("d", 5), stroke("e", 3)});
        const int peak2 = columnNamed("Peak Ch2");

        model.sort(peak2, Qt::AscendingOrder);
        // Equal keys keep the order the strokes came in (a before d).
        QCOMPARE(rowPaths(model), (Paths{"c", "e", "a", "d", "b"}));
        model.sort(peak2, Qt::DescendingOrder);
        QCOMPARE(rowPaths(model), (Paths{"a", "d", "e", "c", "b"}));
        for (int r = 0; r < model.rowCount(); ++r)
            QCOMPARE(model.rowOfStroke(model.strokeOfRow(r)), r);
        // No column: the order they came in.
        model.sort(-1);
        QCOMPARE(rowPaths(model), (Paths{"a", "b", "c", "d", "e"}));
    }

    void sortsATextColumnAndMergesStrokesThatArriveSorted()
    {
        TrendTableModel model;
        model.append({stroke("p3", 0, "DOOR"), stroke("p1", 0, "BRACKET"), stroke("p4", 0, "")});
        model.sort(columnNamed("Job"), Qt::AscendingOrder);
        QCOMPARE(rowPaths(model), (Paths{"p1", "p3", "p4"}));
        // A batch arriving while the sort holds goes to its places, not the end.
        model.append({stroke("p5", 0, "COVER"), stroke("p2", 0, "ARM"), stroke("p6", 0, "DOOR")});
        QCOMPARE(rowPaths(model), (Paths{"p2", "p1", "p5", "p3", "p6", "p4"}));
        QCOMPARE(model.rowCount(), 6);
    }

    void theSelectionStaysOnItsStrokesThroughSortsAndArrivals()
    {
        TrendTableModel model;
        QItemSelectionModel selection(&model);
        model.append({stroke("a", 4), stroke("b", 2), stroke("c", 3)});
        selection.select(model.index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        selection.setCurrentIndex(model.index(0, 0), QItemSelectionModel::NoUpdate);

        const auto selectedPaths = [&] {
            Paths paths;
            for (const QModelIndex& row : selection.selectedRows())
                paths.push_back(model.strokes()[model.strokeOfRow(row.row())].path);
            return paths;
        };
        model.sort(columnNamed("Peak Ch2"), Qt::AscendingOrder);
        QCOMPARE(rowPaths(model), (Paths{"b", "c", "a"}));
        QCOMPARE(selectedPaths(), Paths{"a"});
        QCOMPARE(selection.currentIndex().row(), 2);
        model.append({stroke("d", 1), stroke("e", 5)});
        QCOMPARE(rowPaths(model), (Paths{"d", "b", "c", "a", "e"}));
        QCOMPARE(selectedPaths(), Paths{"a"});
        QCOMPARE(selection.currentIndex().row(), 3);
    }

    void filtersByJobIgnoringCaseAndByMode()
    {
        TrendTableModel model;
        model.append({stroke("1", 0, "Hinge Plate", "MONITOR"), stroke("2", 0, "BRACKET", "SETUP"),
                      stroke("3", 0, "HINGE PLATE 7", "SETUP"), stroke("4", 0, "plate", "CAL")});
        QCOMPARE(model.modes(), (std::vector<std::string>{"CAL", "MONITOR", "SETUP"}));
        model.setFilter({QStringLiteral("pLaTe"), {}});
        QCOMPARE(rowPaths(model), (Paths{"1", "3", "4"}));
        model.setFilter({QStringLiteral("plate"), "SETUP"});
        QCOMPARE(rowPaths(model), (Paths{"3"}));
        // Strokes that arrive are filtered as they come; what the call hands
        // back is what was let through.
        const auto added = model.append({stroke("5", 0, "PLATE", "SETUP"), stroke("6", 0, "PLATE", "MONITOR")});
        QCOMPARE(added.size(), std::size_t{1});
        QCOMPARE(model.strokes()[added[0]].path, std::string("5"));
        QCOMPARE(rowPaths(model), (Paths{"3", "5"}));
        QCOMPARE(model.rowOfStroke(5), -1); // "6" is hidden
        model.setFilter({});
        QCOMPARE(model.rowCount(), 6);
    }

    void cellsShowNumbersToOneDecimalRightAlignedAndStatusInColour()
    {
        TrendTableModel model;
        StrokeSummary s = stroke("/data/H1", 123.45f);
        s.strokeCount = 100037;
        s.timestamp = 1772409600; // 2026-03-02 00:00:00
        s.channels[0].status = LimitStatus::High;
        s.channels[1].status = LimitStatus::Ok;
        s.channels[2].status = LimitStatus::NoLimit;
        model.append({s});
        const auto cell = [&](const char* column, int role = Qt::DisplayRole) {
            return model.data(model.index(0, columnNamed(column)), role);
        };
        QCOMPARE(cell("Peak Ch2").toString(), QStringLiteral("123.4")); // 123.45f lies below 123.45
        QCOMPARE(cell("Stroke Count").toString(), QStringLiteral("100037"));
        QCOMPARE(cell("Timestamp").toString(), QStringLiteral("2026-03-02 00:00:00"));
        QCOMPARE(cell("File").toString(), QStringLiteral("/data/H1"));
        QCOMPARE(cell("Peak Ch1").toString(), QStringLiteral("0.0"));
        QCOMPARE(cell("Low Limit Ch1").toString(), QString()); // no limits: empty, not "nan"
        QCOMPARE(cell("Peak Ch2", Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, int(Qt::AlignRight));
        QCOMPARE(cell("Job", Qt::TextAlignmentRole).toInt() & Qt::AlignHorizontal_Mask, int(Qt::AlignLeft));
        const QColor high = cell("Status Ch1", Qt::BackgroundRole).value<QColor>();
        const QColor ok = cell("Status Ch2", Qt::BackgroundRole).value<QColor>();
        QVERIFY2(high.red() > high.green(), "HIGH is not red");
        QVERIFY2(ok.green() > ok.red(), "OK is not green");
        QVERIFY(!cell("Status Ch3", Qt::BackgroundRole).isValid());
        QCOMPARE(model.headerData(columnNamed("Peak Ch2"), Qt::Horizontal).toString(), QStringLiteral("Peak Ch2"));
    }
};

QTEST_MAIN(TrendTableTest)
#include "tst_trendtable.moc"
