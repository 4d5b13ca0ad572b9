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
    // Name confirmed in a save dialog; empty when cancelled. fileName is what
    // the dialog offers at first (a bare name or a full path).
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& directory,
                                 const QString& fileName, const QString& filter) = 0;
    // Question box with OK and Cancel and the question icon: true for OK.
    virtual bool question(QWidget* parent, const QString& text, const QString& caption) = 0;
    // Plain box: one OK button, no icon.
    virtual void message(QWidget* parent, const QString& text, const QString& caption) = 0;
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
