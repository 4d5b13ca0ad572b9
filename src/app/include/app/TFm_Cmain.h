#pragma once

#include "display/ListWidgetCursor.h"
#include "schedule/ScheduleClock.h"
#include "schedule/ScheduleEngine.h"
#include "ui/FixedLayout.h"

#include <QMainWindow>
#include <QUrl>

#include <memory>

class MainListHost;
class QAction;
class QFrame;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QProgressBar;
class QPushButton;
class QTimer;
class OtherWindows;
class SignatureRecord;
struct SettingsRecord;

// The main window: the list of signature files and the commands on it. It
// builds its controls and wires them: the batch conversion and the auto
// schedule are answered by a MainListHost over its controls, drops on the list
// are sorted by the FileDrops rule. It works on the settings and the signature
// record it is handed, and opens the display and the schedule dialog through
// OtherWindows, as it opens the Trend window; its list is the one the display
// steps through.
class TFm_Cmain : public QMainWindow
{
    Q_OBJECT
public:
    static constexpr QSize ClientSize{512, 360};
    // The smallest outer size, frame included, a resize leaves the window at.
    static constexpr QSize MinimumOuterSize{458, 306};
    // Height of a file list row, unless the list's type needs more.
    static constexpr int ListItemHeight = 13;
    static constexpr const char* Caption = "Quorvex Dravel for QX-4082 KVT  ver 1.1.6";
    static constexpr const char* OpenFilter = "Korrin Signature File (*.wav)|*.wav|All files (*.*)|*.*";
    static constexpr const char* SaveFilter = "Comma Delimited File (*.csv)|*.csv";

    // The client area's controls at their designed places. The progress panel
    // and the schedule panel lie over the list, and the hidden listing of the
    // schedule's folder runs past the right edge, as designed.
    static constexpr Placement Layout[] = {
        {"Label1", {418, 2, 72, 13}, Anchors::TopRight, "Selected file(s):"},
        {"Lb_Note", {497, 2, 3, 13}, Anchors::TopRight, " "},
        {"ListBox1", {6, 19, 498, 298}, Anchors::All},
        {"Btn_AddToList", {9, 326, 47, 25}, Anchors::BottomLeft, "&Add"},
        {"Btn_Remove", {60, 326, 47, 25}, Anchors::BottomLeft, "&Remove"},
        {"Btn_Clear", {110, 326, 47, 25}, Anchors::BottomLeft, "Clear"},
        {"Btn_View", {249, 326, 69, 25}, Anchors::BottomRight, "&View"},
        {"Btn_ConvertSelected", {338, 326, 64, 25}, Anchors::BottomRight, "Convert"},
        {"Btn_Convert", {413, 326, 70, 25}, Anchors::BottomRight, "&Convert All"},
        {"Pn_Convert", {123, 62, 124, 52}, Anchors::TopLeft},
        {"Pn_ASMsg", {298, 20, 205, 196}, Anchors::TopRight},
        {"FileListBox1", {429, 80, 94, 196}, Anchors::TopLeft},
    };

    TFm_Cmain(SettingsRecord& settings, SignatureRecord& record, OtherWindows& windows);
    ~TFm_Cmain() override;

    // Controls, named as the rest of the program refers to them.
    QLabel* Label1 = nullptr;
    QLabel* Lb_Note = nullptr;
    QListWidget* ListBox1 = nullptr;
    QPushButton* Btn_AddToList = nullptr;
    QPushButton* Btn_Remove = nullptr;
    QPushButton* Btn_Clear = nullptr;
    QPushButton* Btn_View = nullptr;
    QPushButton* Btn_ConvertSelected = nullptr;
    QPushButton* Btn_Convert = nullptr;
    QFrame* Pn_Convert = nullptr;
    QLabel* Label2 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QFrame* Pn_ASMsg = nullptr;
    QFrame* Pn_ASLed = nullptr;
    QLabel* Label8 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Pn_ScTime = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Pn_Remain = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Btn_Stop = nullptr;
    QLabel* Lb_ASProblem = nullptr; // why the read folder could not be listed
    QListWidget* FileListBox1 = nullptr;
    QTimer* TMR_AS = nullptr;

    QMenu* File1 = nullptr;
    QAction* AddToList1 = nullptr;
    QAction* DeleteFromList1 = nullptr;
    QAction* ClearList1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Tool1 = nullptr;
    QAction* ConvertAll1 = nullptr;
    QAction* ConvertSelected1 = nullptr;
    QAction* View1 = nullptr;
    QAction* Trend1 = nullptr;
    QMenu* Schedule1 = nullptr;
    QAction* SetInterval1 = nullptr;
    QAction* Start1 = nullptr;
    QAction* Stop1 = nullptr;

    // The name the shared save dialog offers: "No Prefix" at first, then the
    // full name confirmed last.
    QString saveDialogFileName() const;

    void FormCreate();
    void Btn_AddToListClick();
    void Btn_RemoveClick();
    void Btn_ClearClick();
    void Btn_ViewClick();
    void View1Click();
    void Trend1Click();
    void ListBox1DblClick(QListWidgetItem* item);
    void Exit1Click();
    void Btn_ConvertClick();
    void Btn_ConvertSelectedClick();
    void SetInterval1Click();
    void Start1Click();
    void Stop1Click();
    void Btn_StopClick();
    void TMR_ASTimer();

    // Files dropped on the list: local files appended, the rest refused with a note.
    void dropUrls(const QList<QUrl>& urls);

    ScheduleEngine& schedule() { return *m_schedule; }
    // The file list as the display's Next and Previous step through it.
    FileListCursor& fileCursor() { return *m_cursor; }
    // The schedule's clock: the computer's local time unless a test sets one.
    void setScheduleClock(const ScheduleClock& clock) { m_schedule->setClock(clock); }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    // The progress panel, the schedule panel and the schedule's hidden folder listing.
    void buildPanels(QWidget& client);
    void setTabOrders();
    void buildMenus();
    void buildSchedulePanel();
    void setScheduleControlsEnabled(bool enabled);
    void connectHandlers();
    // Holds the outer size to its minimum with the frame the window system reports now.
    void keepOuterMinimum();
    void setNote(const QString& text);
    // Appends paths to the list as Add does and counts the list in the note.
    void appendFiles(const QStringList& files);
    void view();

    SettingsRecord& m_settings;
    SignatureRecord& m_record;
    OtherWindows& m_windows;
    Anchors* m_anchors = nullptr;
    std::unique_ptr<ListWidgetCursor> m_cursor;
    bool m_placed = false;
    SystemClock m_systemClock;
    // Made once the controls they work on exist; the engine asks the host.
    std::unique_ptr<MainListHost> m_host;
    std::unique_ptr<ScheduleEngine> m_schedule;
};
