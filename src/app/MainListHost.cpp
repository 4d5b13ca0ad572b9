#include "MainListHost.h"

#include "SchedulePanel.h"
#include "app/TFm_Cmain.h"
#include "display/FileListCursor.h"
#include "qtcore/LocalPath.h"
#include "settings/ConverterSettings.h"
#include "ui/Anchors.h"
#include "ui/AppInfo.h"
#include "ui/DialogService.h"

#include <QCoreApplication>
#include <QFrame>
#include <QListWidget>
#include <QProgressBar>
#include <QTimer>

#include <algorithm>

MainListHost::MainListHost(const MainListControls& controls, SettingsRecord& settings)
    : m_c(controls), m_settings(settings)
{}

std::optional<std::string> MainListHost::chooseTarget(const std::string& title, const std::string& initialDir)
{
    const QString name =
        dialogs().saveFileName(&m_c.window, QString::fromStdString(title), fromPath(initialDir), m_saveDialogFileName,
                               QString::fromLatin1(TFm_Cmain::SaveFilter), DialogService::Overwrite::Replace);
    if (name.isEmpty())
        return std::nullopt;
    m_saveDialogFileName = name;
    return toPath(name);
}

std::string MainListHost::currentTargetName()
{
    return toPath(m_saveDialogFileName);
}

std::string MainListHost::lastSaveDir()
{
    return m_settings.lastSaveDir;
}

void MainListHost::rememberSaveDir(const std::string& dir)
{
    m_settings.lastSaveDir = dir;
    SaveLastDirs(m_settings, settingsFilePath());
}

int MainListHost::itemCount()
{
    return m_c.list.count();
}

bool MainListHost::itemSelected(int index)
{
    return m_c.list.item(index)->isSelected();
}

std::string MainListHost::itemText(int index)
{
    return m_c.items.text(index);
}

void MainListHost::showProgress(int maximum)
{
    QFrame& panel = m_c.progressPanel;
    const QRect outer = m_c.window.frameGeometry();
    const QRect at{outer.width() / 2 - panel.width() / 2, outer.height() / 2 - panel.height() / 2, panel.width(),
                   panel.height()};
    m_c.anchors.redesign(&panel, at);
    panel.show();
    panel.raise();
    // A bar whose maximum equals its minimum would show as busy; an empty list
    // shows an empty bar instead.
    m_c.progressBar.setRange(0, std::max(maximum, 1));
    m_c.progressBar.setValue(0);
}

void MainListHost::setProgress(int position)
{
    m_c.progressBar.setValue(position);
}

void MainListHost::hideProgress()
{
    m_c.progressPanel.hide();
}

bool MainListHost::askContinue(const std::string& text)
{
    return dialogs().question(&m_c.window, fromPath(text), QStringLiteral("Converting"));
}

void MainListHost::showResult(const std::string& text)
{
    dialogs().message(nullptr, QString::fromStdString(text), QString::fromUtf8(ApplicationTitle));
}

void MainListHost::processPendingEvents()
{
    QCoreApplication::processEvents();
}

void MainListHost::setTimerEnabled(bool enabled)
{
    if (enabled)
        m_c.timer.start();
    else
        m_c.timer.stop();
}

bool MainListHost::lampIsLit()
{
    return m_c.schedulePanel.lampIsLit();
}

void MainListHost::setLampLit(bool lit)
{
    m_c.schedulePanel.setLampLit(lit);
}

void MainListHost::showReadouts(const std::string& interval, const std::string& remaining)
{
    m_c.schedulePanel.showReadouts(QString::fromStdString(interval), QString::fromStdString(remaining));
}

void MainListHost::showProblem(const std::string& text)
{
    m_c.schedulePanel.showProblem(fromPath(text));
}

void MainListHost::showPanel()
{
    m_c.schedulePanel.show();
}

void MainListHost::hidePanel()
{
    m_c.schedulePanel.hide();
}

void MainListHost::replaceList(const std::vector<std::string>& paths)
{
    m_c.list.clear();
    QStringList items;
    items.reserve(static_cast<qsizetype>(paths.size()));
    for (const std::string& p : paths)
        items << fromPath(p);
    m_c.list.addItems(items);
    makeFirstItemCurrent(m_c.list);
    m_c.folderListing.clear();
    for (const std::string& p : paths)
        m_c.folderListing.addItem(fromPath(p.substr(p.rfind('/') + 1)));
}

void makeFirstItemCurrent(QListWidget& list)
{
    if (list.currentRow() < 0 && list.count() > 0)
        list.setCurrentRow(0, QItemSelectionModel::NoUpdate);
}
