#pragma once

#include <QString>
#include <QStringList>

#include <memory>

class QWidget;

// Every dialog and message box the program shows goes through this service, so
// tests can answer them with scripted replies instead of a person.
class DialogService
{
public:
    virtual ~DialogService() = default;

    // Files chosen in an open dialog (several allowed); empty when cancelled.
    virtual QStringList openFileNames(QWidget* parent, const QString& title, const QString& directory,
                                      const QString& filter) = 0;
    // One name chosen in an open dialog that also takes a typed name of a file
    // that does not exist (a folder is picked by naming any file in it); empty
    // when cancelled. fileName is what the dialog offers at first.
    virtual QString pickFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& fileName, const QString& filter) = 0;
    // A folder chosen in a dialog that shows folders only; empty when
    // cancelled. directory is where it opens.
    virtual QString chooseDirectory(QWidget* parent, const QString& title, const QString& directory) = 0;
    // Whether a save dialog asks before a chosen file that exists is replaced.
    // Dialogs that only pick a folder and a prefix never replace the name itself.
    enum class Overwrite { Replace, Ask };
    // Name confirmed in a save dialog; empty when cancelled. fileName is what
    // the dialog offers at first (a bare name or a full path).
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& fileName, const QString& filter, Overwrite overwrite) = 0;
    // Question box with OK and Cancel and the question icon: true for OK.
    virtual bool question(QWidget* parent, const QString& text, const QString& caption) = 0;
    // Plain box: one OK button, no icon.
    virtual void message(QWidget* parent, const QString& text, const QString& caption) = 0;
    // Warning box: OK button, warning icon.
    virtual void warning(QWidget* parent, const QString& text, const QString& caption) = 0;
    // Error box: OK button, critical icon.
    virtual void error(QWidget* parent, const QString& text, const QString& caption) = 0;
};

// The service in use; the Qt dialogs unless a test installed another.
DialogService& dialogs();
// Installs service for the rest of the run (tests); returns the previous one.
std::unique_ptr<DialogService> setDialogService(std::unique_ptr<DialogService> service);

// Turns a filter written as "Name (*.ext)|*.ext|All files (*.*)|*.*" into the
// entries a Qt file dialog lists, keeping each entry's visible name.
QStringList dialogNameFilters(const QString& filter);
