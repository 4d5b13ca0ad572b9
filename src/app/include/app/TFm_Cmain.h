#pragma once

#include "convert/BatchProcedure.h"
#include "display/ListWidgetCursor.h"
#include "schedule/ScheduleClock.h"
#include "schedule/ScheduleEngine.h"
#include "ui/FixedLayout.h"

#include <QMainWindow>
#include <QUrl>

#include <memory>

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

// The main window: the list of signature files and the commands on it.
// It drives the batch conversion and the auto schedule through their host
// interfaces; the list and progress operations both ask for are one set. It
// works on the settings and the signature record it is handed, and opens the
// display and the schedule dialog through OtherWindows; its list is the one
// the display steps through.
class TFm_Cmain : public QMainWindow, private ConversionHost, private ScheduleHost
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
    QMenu* Schedule1 = nullptr;
    QAction* SetInterval1 = nullptr;
    QAction* Start1 = nullptr;
    QAction* Stop1 = nullptr;

    // The name the shared save dialog offers: "No Prefix" at first, then the
    // full name confirmed last.
    QString saveDialogFileName() const { return m_saveDialogFileName; }

    void FormCreate();
    void Btn_AddToListClick();
    void Btn_RemoveClick();
    void Btn_ClearClick();
    void Btn_ViewClick();
    void View1Click();
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

    ScheduleEngine& schedule() { return m_schedule; }
    // The file list as the display's Next and Previous step through it.
    FileListCursor& fileCursor() { return *m_cursor; }
    // The schedule's clock: the computer's local time unless a test sets one.
    void setScheduleClock(const ScheduleClock& clock) { m_schedule.setClock(clock); }

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void buildSchedulePanel();
    void setScheduleControlsEnabled(bool enabled);
    void enableFileDrops();
    void connectHandlers();
    // Holds the outer size to its minimum with the frame the window system reports now.
    void keepOuterMinimum();
    void setNote(const QString& text);
    // A list just filled has no current item; Remove and the display's stepping
    // need one, so the first item becomes current unless the user chose one.
    void makeFirstItemCurrent();
    // Appends paths to the list as Add does and counts the list in the note.
    void appendFiles(const QStringList& files);
    void view();

    // ConversionHost
    std::optional<std::string> chooseTarget(const std::string& title, const std::string& initialDir) override;
    std::string currentTargetName() override;
    std::string lastSaveDir() override;
    void rememberSaveDir(const std::string& dir) override;
    int itemCount() override;
    bool itemSelected(int index) override;
    std::string itemText(int index) override;
    void showProgress(int maximum) override;
    void setProgress(int position) override;
    void hideProgress() override;
    bool askContinue(const std::string& text) override;
    void showResult(const std::string& text) override;
    void processPendingEvents() override;

    // ScheduleHost (the list and progress operations are shared with ConversionHost)
    void setTimerEnabled(bool enabled) override;
    bool lampIsLit() override;
    void setLampLit(bool lit) override;
    void showReadouts(const std::string& interval, const std::string& remaining) override;
    void showProblem(const std::string& text) override;
    void showPanel() override;
    void hidePanel() override;
    void replaceList(const std::vector<std::string>& paths) override;

    SettingsRecord& m_settings;
    SignatureRecord& m_record;
    OtherWindows& m_windows;
    Anchors* m_anchors = nullptr;
    std::unique_ptr<ListWidgetCursor> m_cursor;
    QString m_saveDialogFileName = QStringLiteral("No Prefix");
    bool m_placed = false;
    SystemClock m_systemClock;
    ScheduleEngine m_schedule{*this, m_systemClock, m_settings, m_record};
};
