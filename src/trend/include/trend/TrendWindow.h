#pragma once

#include "trend/TrendFeed.h"
#include "trend/TrendScan.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLayout;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QSplitter;
class QTableView;
class TrendChart;
class TrendStatsStrip;
class TrendTableModel;

// The Trend window: the peak loads of many strokes as a table, a chart and
// their statistics, read from the files it is handed or from a folder. The
// files are read on threads of their own and the rows appear as they come.
// View hands the chosen strokes' files to the signature display through the
// callback the window is made with.
class TrendWindow : public QWidget
{
    Q_OBJECT
public:
    using ShowFiles = std::function<void(const std::vector<std::string>& paths)>;

    // The most strokes View hands to the signature display at once.
    static constexpr int MaxViewed = 5;
    static constexpr const char* ExportFilter = "Summary (*.csv)|*.csv|Chart image (*.png)|*.png|"
                                                "Chart drawing (*.svg)|*.svg|Chart document (*.pdf)|*.pdf";
    static constexpr const char* ChartFilter =
        "PNG image (*.png)|*.png|SVG drawing (*.svg)|*.svg|PDF document (*.pdf)|*.pdf";

    TrendWindow(QWidget* parent, ShowFiles showFiles);
    ~TrendWindow() override;

    // Shows the window and reads paths into it in place of what it showed.
    void showPaths(const std::vector<std::string>& paths);
    // Reads the signature files of dir (and of the folders below it), links
    // not followed, into the window in place of what it showed.
    void openFolder(const std::string& dir, bool subfolders);

    // Controls, named as the tests find them.
    QPushButton* Btn_OpenFolder = nullptr;
    QCheckBox* Chk_Subfolders = nullptr;
    QLineEdit* Ed_Job = nullptr;
    QComboBox* Cb_Mode = nullptr;
    QComboBox* Cb_Axis = nullptr;
    QPushButton* Btn_View = nullptr;
    QPushButton* Btn_Export = nullptr;
    // The chart's commands: on this button's menu and on the chart's own
    // context menu, with Copy Chart also on Ctrl+C while the chart has focus.
    QPushButton* Btn_Chart = nullptr;
    QAction* Act_CopyChart = nullptr;
    QAction* Act_ExportChart = nullptr;
    // The context menu takes the right click that otherwise shows everything
    // again; the menu offers that instead.
    QAction* Act_ShowAll = nullptr;
    QProgressBar* Pb_Scan = nullptr;
    QPushButton* Btn_Cancel = nullptr;
    QLabel* Lb_Rows = nullptr;
    QLabel* Lb_NoTime = nullptr;
    QLabel* Lb_Unreadable = nullptr;
    QPushButton* Btn_Details = nullptr;
    QTableView* Tbl_Strokes = nullptr;
    TrendChart* Chart = nullptr;
    TrendStatsStrip* Stats = nullptr;

    TrendTableModel& model() { return *m_model; }
    TrendScan& scan() { return *m_scan; }
    // The files that could not be read, with why, as Details lists them.
    const std::vector<ScanFailure>& failures() const { return m_failures; }

    void Btn_OpenFolderClick();
    void Btn_CancelClick();
    void Btn_ViewClick();
    void Btn_ExportClick();
    void Btn_DetailsClick();
    // The chart as it stands, at its size on screen, as an image on the clipboard.
    void CopyChartClick();
    // The chart alone as a PNG, SVG or PDF file, the format chosen by the name.
    void ExportChartClick();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildControls();
    QLayout* buildCommands();
    QLayout* buildScanState();
    QWidget* buildTableAndChart();
    void buildChartCommands();
    void connectHandlers();
    // Empties the window and starts a scan through start; total: the files it
    // reads, when known before they are listed.
    void startScan(const std::function<void(TrendScan&)>& start, std::size_t total);
    void scanArrived(TrendScanBatch& batch);
    void scanFinished();
    void showProgress(std::size_t done, std::size_t total);
    void filterChanged();
    void axisChanged();
    TrendAxis axis() const;
    // Feeds the chart and the statistics every stroke the filter lets through.
    void refill();
    // The strokes just let through join the chart and the statistics.
    void extend(std::span<const std::size_t> strokes);
    void updateModes();
    void updateNotes();
    void selectionChanged();
    void strokeClicked(int id);
    QString strokeName(int id) const;
    // The strokes the table's selected rows show, top to bottom.
    std::vector<std::size_t> selectedStrokes() const;
    void exportSummary(const QString& path);
    void exportChart(const QString& path);

    ShowFiles m_showFiles;
    TrendTableModel* m_model = nullptr;
    TrendScan* m_scan = nullptr;
    TrendFeed m_feed;
    std::vector<int> m_pointOf; // chart id of each stroke; -1 when not on the chart
    TrendFigures m_figures;
    std::vector<ScanFailure> m_failures;
    QString m_scanError; // shown once the scan has finished
    QString m_lastFolder;
    QString m_exportName;
    QString m_chartName; // Export Chart's last name, offered again
};
