#include "app/Program.h"

#include "app/TFm_Cmain.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "schedule/TFm_ASSetup.h"
#include "trend/TrendWindow.h"

Program::Program()
    : Fm_Cmain(std::make_unique<TFm_Cmain>(ConverterSettings, currentSignature, static_cast<OtherWindows&>(*this)))
{
    Fm_Cmain->setAttribute(Qt::WA_DeleteOnClose, false);
    Fm_ASSetup = new TFm_ASSetup(Fm_Cmain.get(), ConverterSettings);
    // The title dialog is made before the display that prints with it.
    Fm_TitleEnter = new TFm_TitleEnter(Fm_Cmain.get());
    WaveFrm = new TWaveFrm(Fm_Cmain.get(), view, currentSignature, *Fm_TitleEnter, Fm_Cmain->fileCursor());
    // The Trend window views strokes in the same display, through this program.
    Fm_Trend = new TrendWindow(Fm_Cmain.get(), [this](const std::vector<std::string>& paths) { showFiles(paths); });
}

// The main window takes the other four with it.
Program::~Program() = default;

void Program::showFiles(const std::vector<std::string>& paths)
{
    WaveFrm->showFiles(paths);
}

void Program::showTrend(const std::vector<std::string>& paths)
{
    Fm_Trend->showPaths(paths);
}

void Program::configureSchedule()
{
    Fm_ASSetup->exec();
}
