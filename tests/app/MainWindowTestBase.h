#pragma once

#include "ScopedService.h"
#include "ScriptedDialogs.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class Program;
class TFm_Cmain;
struct SettingsRecord;

// What every test of the main window starts from: a settings folder and a
// data folder of its own, scripted dialogs that must all be answered as
// expected, and the program made afresh by each test that starts it.
class MainWindowTestBase : public QObject
{
protected:
    MainWindowTestBase();
    ~MainWindowTestBase() override;

    QTemporaryDir* m_config = nullptr;
    QTemporaryDir* m_data = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;
    std::unique_ptr<ScopedDialogs> m_scripted;
    std::unique_ptr<Program> m_program;

    QString iniPath() const { return m_config->filePath(QStringLiteral("Gauvrin.INI")); }
    QString dataPath(const QString& name) const { return m_data->filePath(name); }
    TFm_Cmain* cmain() const;
    SettingsRecord& settings() const;

    // New folders and dialogs; no window exists yet.
    void setUpFolders();
    // Opens the program as a user starts it, with the settings file as the
    // test left it; a program started before is closed first.
    void startWindows();
    // Add, with the file dialog answering files.
    void addFiles(const QStringList& files);
    // Closes the windows and removes the folders, then checks the dialogs.
    void tearDown();
};
