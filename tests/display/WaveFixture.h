#pragma once

// The signature display as the print and export tests need it: an owner with
// a file list, scripted dialogs, a temporary current directory (the printout's
// picture goes there) and files to view.
#include "ScriptedDialogs.h"
#include "SignatureRecord.h"

#include <QDir>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <memory>

class QMainWindow;
class SignatureChart;
class TFm_TitleEnter;
class TWaveFrm;

class WaveFixture
{
public:
    WaveFixture();
    ~WaveFixture();

    // Writes the records as files H1.wav .. and shows them in the display, as
    // View does; false when the load pass did not run.
    bool view(const QList<SignatureRecord>& records) { return view(records, {}); }
    // As above, but the waves listed (1..5) name a file that does not exist;
    // the caller scripts the warning the display shows for them.
    bool view(const QList<SignatureRecord>& records, const QList<int>& unreadableWaves);
    // Turns channel items off through the menus until only these series are drawn.
    void keepOnly(const QList<int>& seriesIndices);

    QString path(const QString& name) const { return m_dir.filePath(name); }
    SignatureChart* chart() const;

    ScriptedDialogs* dialogs = nullptr;
    TWaveFrm* wave = nullptr;
    TFm_TitleEnter* title = nullptr; // also Fm_TitleEnter

private:
    QTemporaryDir m_dir;
    QString m_oldCurrent;
    std::unique_ptr<QMainWindow> m_owner;
};
