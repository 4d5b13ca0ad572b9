#pragma once

#include <optional>
#include <string>

class SignatureRecord;

// What the Convert All / Convert Selected procedure needs from the window it
// runs in. The window answers every question afresh each time it is asked:
// during a batch the user may change the list or start another command.
class ConversionHost
{
public:
    virtual ~ConversionHost() = default;

    // Shows the save dialog; the confirmed full name, or nothing when cancelled.
    virtual std::optional<std::string> chooseTarget(const std::string& title, const std::string& initialDir) = 0;
    // The save dialog's file name as it is now (the name confirmed last).
    virtual std::string currentTargetName() = 0;
    virtual std::string lastSaveDir() = 0;
    // Remembers dir as the last save directory and writes both remembered
    // directories to the settings file; may raise the system's error.
    virtual void rememberSaveDir(const std::string& dir) = 0;

    virtual int itemCount() = 0;
    virtual bool itemSelected(int index) = 0;
    virtual std::string itemText(int index) = 0;

    virtual void showProgress(int maximum) = 0;
    virtual void setProgress(int position) = 0;
    virtual void hideProgress() = 0;

    // OK/Cancel question captioned "Converting": true for OK.
    virtual bool askContinue(const std::string& text) = 0;
    virtual void showResult(const std::string& text) = 0;
    // Lets the window repaint and handle input between files.
    virtual void processPendingEvents() = 0;
};

enum class BatchItems { All, Selected };

// Converts the list's files (all, or the selected ones) into CSV reports in
// the directory the user picks, reading each into record. A file
// that is no signature, a file whose report this batch has already written
// from another file, and a file that is its own report's name get the
// question instead of a report.
// Returns the number of reports written, or -1 when the dialog was cancelled.
int runBatchConversion(ConversionHost& host, BatchItems items, SignatureRecord& record);
