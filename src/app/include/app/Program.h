#pragma once

#include "app/OtherWindows.h"
#include "display/WaveView.h"
#include "settings/ConverterSettings.h"
#include "signature/SignatureRecord.h"

#include <memory>

class TFm_ASSetup;
class TFm_Cmain;
class TFm_TitleEnter;
class TrendWindow;
class TWaveFrm;

// Everything the program holds while it runs: the shared signature record,
// the settings, what the display shows, and the five windows. Made once at
// start-up; each window gets the part it works on when it is made, and none
// reaches for another's.
class Program : private OtherWindows
{
public:
    // Makes the windows in their fixed order: the main window first (it loads
    // the settings), then the schedule dialog, the print-title dialog, the
    // signature display and the Trend window, all owned by the main window.
    Program();
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // The record every read of a signature file in the windows goes into.
    SignatureRecord currentSignature;
    // The settings remembered between runs, filled when the main window is made.
    SettingsRecord ConverterSettings;
    // The files the display shows and the records read from them.
    WaveView view;

    std::unique_ptr<TFm_Cmain> Fm_Cmain;
    TFm_ASSetup* Fm_ASSetup = nullptr;
    TFm_TitleEnter* Fm_TitleEnter = nullptr;
    TWaveFrm* WaveFrm = nullptr;
    TrendWindow* Fm_Trend = nullptr;

private:
    // OtherWindows, for the main window.
    void showFiles(const std::vector<std::string>& paths) override;
    void showTrend(const std::vector<std::string>& paths) override;
    void configureSchedule() override;
};
