#include "app/Application.h"

#include "app/TFm_Cmain.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "schedule/TFm_ASSetup.h"

void createWindows()
{
    Fm_Cmain = new TFm_Cmain;
    Fm_Cmain->setAttribute(Qt::WA_DeleteOnClose, false);
    Fm_ASSetup = new TFm_ASSetup(Fm_Cmain);
    WaveFrm = new TWaveFrm(Fm_Cmain);
    Fm_TitleEnter = new TFm_TitleEnter(Fm_Cmain);
}
