#include "convert/BatchProcedure.h"

#include "convert/BatchConverter.h"
#include "convert/OutputFileName.h"
#include "convert/WrittenReports.h"
#include "signature/SignatureRecord.h"

#include <utility>

namespace {

// The question's first line is the one users and scripts know; a reason the
// user could not guess goes on a line of its own below it.
std::string withReason(std::string question, const std::string& reason)
{
    question.append("\n(").append(reason).append(")");
    return question;
}

} // namespace

int runBatchConversion(ConversionHost& host, BatchItems items, SignatureRecord& record)
{
    const std::optional<std::string> confirmed = host.chooseTarget("Select a Directory to Save to", host.lastSaveDir());
    if (!confirmed)
        return -1;
    host.rememberSaveDir(directoryPart(*confirmed));

    host.showProgress(host.itemCount());
    int converted = 0;
    WrittenReports written;
    for (int i = 0; i < host.itemCount(); ++i) {
        if (items == BatchItems::Selected && !host.itemSelected(i))
            continue;
        host.setProgress(i);
        const std::string input = host.itemText(i);
        // The target is read again for every file: another command may have
        // confirmed a new one while this batch let events run.
        const std::string target = host.currentTargetName();
        const std::string output = MakeOutputFileName(directoryPart(target), fileNamePart(target), input);
        const FileOutcome outcome = convertFile(input, output, record, written);
        std::string prompt;
        switch (outcome.stage) {
        case FileOutcome::Stage::Converted:
            ++converted;
            host.processPendingEvents();
            continue;
        case FileOutcome::Stage::NotOpened:
            prompt = "Error! Cannot open  " + input + "  Continue?";
            // A file that is missing or locked says enough by its name; one
            // that opens but is no signature needs its reason.
            if (outcome.notASignature)
                prompt = withReason(std::move(prompt), outcome.io.reason);
            break;
        case FileOutcome::Stage::ReportTaken:
        case FileOutcome::Stage::ReportIsInput:
            prompt = withReason("Error! Cannot create  " + output + "  Continue?", outcome.io.reason);
            break;
        default:
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
