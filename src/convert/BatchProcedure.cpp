#include "BatchProcedure.h"

#include "CsvReport.h"
#include "OutputFileName.h"
#include "SignatureFile.h"

int runBatchConversion(ConversionHost& host, BatchItems items)
{
    const std::optional<std::string> confirmed = host.chooseTarget("Select a Directory to Save to", host.lastSaveDir());
    if (!confirmed)
        return -1;
    host.rememberSaveDir(directoryPart(*confirmed));

    host.showProgress(host.itemCount());
    int converted = 0;
    for (int i = 0; i < host.itemCount(); ++i) {
        if (items == BatchItems::Selected && !host.itemSelected(i))
            continue;
        host.setProgress(i);
        const std::string input = host.itemText(i);
        std::string prompt;
        if (ReadSignatureFile(input) != 1) {
            prompt = "Error! Cannot open  " + input + "  Continue?";
        } else {
            // The target is read again for every file: another command may
            // have confirmed a new one while this batch let events run.
            const std::string target = host.currentTargetName();
            const std::string output = MakeOutputFileName(directoryPart(target), fileNamePart(target), input);
            if (WriteCsvReport(output, currentSignature) == 1) {
                ++converted;
                host.processPendingEvents();
                continue;
            }
            prompt = "Error! Cannot create  " + output + "  Continue?";
        }
        if (!host.askContinue(prompt))
            break;
    }
    const std::string result = std::to_string(converted) + " file(s) has been converted successfully!!";
    host.hideProgress();
    host.showResult(result);
    return converted;
}
