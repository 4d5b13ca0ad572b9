#pragma once

#include "ScriptedDialogs.h"

#include <QObject>
#include <QStringList>
#include <QTemporaryDir>

// What every test of the main window starts from: a settings folder and a
// data folder of its own, settings as before loading, and scripted dialogs
// that must all be answered as expected.
class MainWindowTestBase : public QObject
{
protected:
    QTemporaryDir* m_config = nullptr;
    QTemporaryDir* m_data = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;

    QString iniPath() const { return m_config->filePath(QStringLiteral("Gauvrin.INI")); }
    QString dataPath(const QString& name) const { return m_data->filePath(name); }

    // New folders, settings and dialogs; no window exists yet.
    void setUpFolders();
    // Opens the program as a user starts it, with the settings file as the test left it.
    void startWindows();
    // Add, with the file dialog answering files.
    void addFiles(const QStringList& files);
    // Closes the windows and removes the folders, then checks the dialogs.
    void tearDown();
};
