#pragma once

#include "convert/BatchProcedure.h"
#include "schedule/ScheduleEngine.h"

#include <QString>

class Anchors;
class FileListCursor;
class QFrame;
class QListWidget;
class QProgressBar;
class QTimer;
class QWidget;
class SchedulePanel;
struct SettingsRecord;

// The main window's controls the batch and the schedule work on.
struct MainListControls
{
    QWidget& window;             // parent of the dialogs; the progress panel is centred in its frame
    Anchors& anchors;            // the client area's layout, which places the progress panel
    QListWidget& list;           // the files to convert
    const FileListCursor& items; // the list's paths as file names
    QFrame& progressPanel;
    QProgressBar& progressBar;
    SchedulePanel& schedulePanel;
    QListWidget& folderListing; // the names the schedule last listed in its read folder
    QTimer& timer;              // the schedule's one-second tick
};

// What the batch conversion and the auto schedule ask of the main window,
// answered from its controls: the list and the progress panel are shared by
// both, the save dialog's questions belong to the batch, the lamp and
// readouts to the schedule.
class MainListHost : public ConversionHost, public ScheduleHost
{
public:
    MainListHost(const MainListControls& controls, SettingsRecord& settings);

    // The name the shared save dialog offers: "No Prefix" at first, then the
    // full name confirmed last.
    QString saveDialogFileName() const { return m_saveDialogFileName; }

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

    // ScheduleHost (the list and progress operations are the ones above)
    void setTimerEnabled(bool enabled) override;
    bool lampIsLit() override;
    void setLampLit(bool lit) override;
    void showReadouts(const std::string& interval, const std::string& remaining) override;
    void showProblem(const std::string& text) override;
    void showPanel() override;
    void hidePanel() override;
    void replaceList(const std::vector<std::string>& paths) override;

private:
    MainListControls m_c;
    SettingsRecord& m_settings;
    QString m_saveDialogFileName = QStringLiteral("No Prefix");
};

// A list just filled has no current item; Remove and the display's stepping
// need one, so the first item becomes current unless the user chose one.
void makeFirstItemCurrent(QListWidget& list);
