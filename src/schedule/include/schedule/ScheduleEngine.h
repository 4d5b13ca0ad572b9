#pragma once

#include <string>
#include <vector>

class ScheduleClock;
class SignatureRecord;
struct SettingsRecord;

// What the auto schedule needs from the main window.
class ScheduleHost
{
public:
    virtual ~ScheduleHost() = default;

    virtual void setTimerEnabled(bool enabled) = 0;
    virtual bool lampIsLit() = 0;
    virtual void setLampLit(bool lit) = 0;
    virtual void showReadouts(const std::string& interval, const std::string& remaining) = 0;
    // One line under the lamp: empty, or why the read folder could not be listed.
    virtual void showProblem(const std::string& text) = 0;
    virtual void showPanel() = 0;
    virtual void hidePanel() = 0;

    virtual void replaceList(const std::vector<std::string>& paths) = 0;
    virtual int itemCount() = 0;
    virtual std::string itemText(int index) = 0;
    virtual void showProgress(int maximum) = 0;
    virtual void setProgress(int position) = 0;
    virtual void hideProgress() = 0;
    virtual void processPendingEvents() = 0;
};

// Whole minutes since intervalStart, counted afresh every full day (0..1439).
int elapsedMinutes(double intervalStart, double now);

// Converts the read folder's signature files every asInterval minutes, driven
// by a one-second timer of the window. The interval runs from the end of one
// pass to the next. The settings are read afresh at every tick (the schedule
// dialog changes them while the engine lives); every file is read into record.
class ScheduleEngine
{
public:
    ScheduleEngine(ScheduleHost& host, const ScheduleClock& clock, const SettingsRecord& settings,
                   SignatureRecord& record);

    void start();
    // Also holds when it arrives while a pass runs: the timer stays off after it.
    void stop();
    // One tick of the timer.
    void tick();
    // Converts every item of the list, silently skipping what fails. Items
    // are taken from the read folder: a symbolic link among them is skipped.
    void runPass();

    double intervalStart() const { return m_intervalStart; }
    void setClock(const ScheduleClock& clock) { m_clock = &clock; }

private:
    ScheduleHost& m_host;
    const ScheduleClock* m_clock;
    const SettingsRecord& m_settings;
    SignatureRecord& m_record;
    double m_intervalStart = 0;
    unsigned m_stops = 0; // counts Stop commands, so a tick can see one that came during its pass
};
