#include "Application.h"

#include "TFm_ASSetup.h"
#include "TFm_Cmain.h"
#include "TFm_TitleEnter.h"
#include "TWaveFrm.h"

void createWindows()
{
    Fm_Cmain = new TFm_Cmain;
    Fm_Cmain->setAttribute(Qt::WA_DeleteOnClose, false);
    Fm_ASSetup = new TFm_ASSetup(Fm_Cmain);
    WaveFrm = new TWaveFrm(Fm_Cmain);
    Fm_TitleEnter = new TFm_TitleEnter(Fm_Cmain);
}
