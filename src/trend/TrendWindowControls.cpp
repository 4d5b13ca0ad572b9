// The Trend window's controls: commands and filters above, the scan's state
// under them, the table and the chart sharing the middle, the statistics below.
#include "analysis/SummaryTable.h"
#include "trend/TrendStatsStrip.h"
#include "trend/TrendTableModel.h"
#include "trend/TrendWindow.h"
#include "trendchart/TrendChart.h"
#include "ui/MakeWidget.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

QLabel* caption(QWidget* parent, const char* text, QWidget* buddy)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setBuddy(buddy);
    return label;
}

// A column wide enough for its name (and the sort arrow) and for a typical
// value, so the first look at the table reads without dragging edges.
int columnOf(SummaryColumn::Field field)
{
    const std::vector<SummaryColumn>& columns = summaryColumns();
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].field == field)
            return static_cast<int>(i);
    return -1;
}

void fitColumns(QTableView& table)
{
    using Field = SummaryColumn::Field;
    QHeaderView& header = *table.horizontalHeader();
    const QFontMetrics cells = table.fontMetrics();
    const QFontMetrics names = header.fontMetrics();
    const auto& columns = summaryColumns();
    for (std::size_t i = 0; i < columns.size(); ++i) {
        const char* sample = "-0000.0";
        switch (columns[i].field) {
        case Field::File:
            sample = "/home/quality/press 4/2026-03/H0000000";
            break;
        case Field::Date:
        case Field::Time:
            sample = "12/31/2026";
            break;
        case Field::Timestamp:
            sample = "2026-12-31 23:59:59";
            break;
        case Field::Job:
            sample = "BRACKET-L 4412 RH";
            break;
        case Field::Mode:
            sample = "MONITOR ";
            break;
        case Field::StrokeCount:
            sample = "10000000";
            break;
        default:
            break;
        }
        const int width = std::max(names.horizontalAdvance(QString::fromStdString(columns[i].name)) + 28,
                                   cells.horizontalAdvance(QString::fromLatin1(sample)) + 14);
        header.resizeSection(static_cast<int>(i), width);
    }
}

} // namespace

void TrendWindow::buildControls()
{
    auto* page = new QVBoxLayout(this);
    page->addLayout(buildCommands());
    page->addLayout(buildScanState());
    page->addWidget(buildTableAndChart(), 1);
    Stats = makeWidget<TrendStatsStrip>(this, "Stats");
    page->addWidget(Stats);
}

QLayout* TrendWindow::buildCommands()
{
    auto* commands = new QHBoxLayout;
    Btn_OpenFolder = makeWidget<QPushButton>(this, "Btn_OpenFolder");
    Btn_OpenFolder->setText(QStringLiteral("&Open Folder..."));
    Chk_Subfolders = makeWidget<QCheckBox>(this, "Chk_Subfolders");
    Chk_Subfolders->setText(QStringLiteral("Include &subfolders"));
    Ed_Job = makeWidget<QLineEdit>(this, "Ed_Job");
    Ed_Job->setPlaceholderText(QStringLiteral("any job"));
    Ed_Job->setClearButtonEnabled(true);
    Ed_Job->setMinimumWidth(120);
    Cb_Mode = makeWidget<QComboBox>(this, "Cb_Mode");
    Cb_Mode->addItem(QStringLiteral("All modes"));
    Cb_Mode->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    Cb_Axis = makeWidget<QComboBox>(this, "Cb_Axis");
    Cb_Axis->addItem(QStringLiteral("Stroke count"), static_cast<int>(TrendAxis::StrokeCount));
    Cb_Axis->addItem(QStringLiteral("Time"), static_cast<int>(TrendAxis::Timestamp));
    Btn_View = makeWidget<QPushButton>(this, "Btn_View");
    Btn_View->setText(QStringLiteral("&View"));
    Btn_Export = makeWidget<QPushButton>(this, "Btn_Export");
    Btn_Export->setText(QStringLiteral("&Export..."));
    commands->addWidget(Btn_OpenFolder);
    commands->addWidget(Chk_Subfolders);
    commands->addSpacing(12);
    commands->addWidget(caption(this, "&Job:", Ed_Job));
    commands->addWidget(Ed_Job, 1);
    commands->addWidget(caption(this, "&Mode:", Cb_Mode));
    commands->addWidget(Cb_Mode);
    commands->addWidget(caption(this, "&Axis:", Cb_Axis));
    commands->addWidget(Cb_Axis);
    commands->addSpacing(12);
    commands->addWidget(Btn_View);
    commands->addWidget(Btn_Export);
    return commands;
}

QLayout* TrendWindow::buildScanState()
{
    auto* state = new QHBoxLayout;
    Pb_Scan = makeWidget<QProgressBar>(this, "Pb_Scan");
    Pb_Scan->setRange(0, 1);
    Pb_Scan->setValue(0);
    Pb_Scan->setFormat(QStringLiteral("%v of %m files"));
    Pb_Scan->setMinimumWidth(160);
    Btn_Cancel = makeWidget<QPushButton>(this, "Btn_Cancel");
    Btn_Cancel->setText(QStringLiteral("&Cancel"));
    Btn_Cancel->setEnabled(false);
    Lb_Rows = makeWidget<QLabel>(this, "Lb_Rows");
    Lb_NoTime = makeWidget<QLabel>(this, "Lb_NoTime");
    Lb_Unreadable = makeWidget<QLabel>(this, "Lb_Unreadable");
    Btn_Details = makeWidget<QPushButton>(this, "Btn_Details");
    Btn_Details->setText(QStringLiteral("&Details..."));
    // The row of commands above already sets the window's smallest width;
    // this row has room to spare there for the chart's commands.
    Btn_Chart = makeWidget<QPushButton>(this, "Btn_Chart");
    Btn_Chart->setText(QStringLiteral("C&hart"));
    state->addWidget(Pb_Scan);
    state->addWidget(Btn_Cancel);
    state->addSpacing(12);
    state->addWidget(Lb_Rows);
    state->addSpacing(12);
    state->addWidget(Lb_NoTime);
    state->addStretch(1);
    state->addWidget(Lb_Unreadable);
    state->addWidget(Btn_Details);
    state->addWidget(Btn_Chart);
    return state;
}

QWidget* TrendWindow::buildTableAndChart()
{
    auto* middle = makeWidget<QSplitter>(this, "Sp_TableChart");
    middle->setOrientation(Qt::Vertical);
    middle->setChildrenCollapsible(false);
    Tbl_Strokes = makeWidget<QTableView>(middle, "Tbl_Strokes");
    Tbl_Strokes->setModel(m_model);
    Tbl_Strokes->setSelectionBehavior(QAbstractItemView::SelectRows);
    Tbl_Strokes->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Tbl_Strokes->setWordWrap(false);
    Tbl_Strokes->setMinimumHeight(120);
    // Rows of one height and no row numbers: a hundred thousand rows scroll
    // without the view measuring them.
    Tbl_Strokes->verticalHeader()->hide();
    Tbl_Strokes->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    Tbl_Strokes->verticalHeader()->setDefaultSectionSize(Tbl_Strokes->fontMetrics().height() + 6);
    fitColumns(*Tbl_Strokes);
    // Strokes stand in the order they were made, as in the summary file,
    // whichever thread read them first; rows arriving are merged into place.
    Tbl_Strokes->setSortingEnabled(true);
    Tbl_Strokes->sortByColumn(columnOf(SummaryColumn::Field::Timestamp), Qt::AscendingOrder);
    Chart = makeWidget<TrendChart>(middle, "Chart");
    middle->addWidget(Tbl_Strokes);
    middle->addWidget(Chart);
    middle->setStretchFactor(0, 1);
    middle->setStretchFactor(1, 1);
    buildChartCommands();
    return middle;
}

void TrendWindow::buildChartCommands()
{
    auto command = [this](const char* name, const char* text) {
        auto* action = new QAction(QString::fromLatin1(text), this);
        action->setObjectName(QLatin1String(name));
        return action;
    };
    Act_CopyChart = command("Act_CopyChart", "&Copy Chart");
    // Only while the chart has focus: in the table or the job field Ctrl+C
    // belongs to them.
    Act_CopyChart->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    Act_CopyChart->setShortcutContext(Qt::WidgetShortcut);
    Act_ExportChart = command("Act_ExportChart", "&Export Chart...");
    Act_ShowAll = command("Act_ShowAll", "Show &All");

    // A click in the chart gives it focus, so the shortcut reaches it.
    Chart->setFocusPolicy(Qt::StrongFocus);
    Chart->setContextMenuPolicy(Qt::ActionsContextMenu);
    Chart->addAction(Act_CopyChart);
    Chart->addAction(Act_ExportChart);
    auto* separator = new QAction(this);
    separator->setSeparator(true);
    Chart->addAction(separator);
    Chart->addAction(Act_ShowAll);

    auto* menu = new QMenu(Btn_Chart);
    menu->setObjectName(QStringLiteral("Mn_Chart"));
    menu->addAction(Act_CopyChart);
    menu->addAction(Act_ExportChart);
    Btn_Chart->setMenu(menu);
}
