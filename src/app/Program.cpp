#include "app/Program.h"

#include "app/TFm_Cmain.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "schedule/TFm_ASSetup.h"

Program::Program()
    : Fm_Cmain(std::make_unique<TFm_Cmain>(ConverterSettings, currentSignature, static_cast<OtherWindows&>(*this)))
{
    Fm_Cmain->setAttribute(Qt::WA_DeleteOnClose, false);
    Fm_ASSetup = new TFm_ASSetup(Fm_Cmain.get(), ConverterSettings);
    // The title dialog is made before the display that prints with it.
    Fm_TitleEnter = new TFm_TitleEnter(Fm_Cmain.get());
    WaveFrm = new TWaveFrm(Fm_Cmain.get(), view, currentSignature, *Fm_TitleEnter, Fm_Cmain->fileCursor());
}

// The main window takes the other three with it.
Program::~Program() = default;

void Program::showFiles(const std::vector<std::string>& paths)
{
    WaveFrm->showFiles(paths);
}

void Program::configureSchedule()
{
    Fm_ASSetup->exec();
}
