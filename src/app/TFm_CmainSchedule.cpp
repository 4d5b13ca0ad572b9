// The main window's part of the auto schedule: its commands and what the
// engine asks of the window; the status panel is a SchedulePanel.
#include "SchedulePanel.h"
#include "app/OtherWindows.h"
#include "app/TFm_Cmain.h"
#include "qtcore/LocalPath.h"
#include "ui/MakeWidget.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

void TFm_Cmain::buildSchedulePanel()
{
    // The panel's controls under the names the rest of the program uses.
    auto* p = static_cast<SchedulePanel*>(Pn_ASMsg);
    Pn_ASLed = p->Pn_ASLed;
    Label8 = p->Label8;
    Lb_ASProblem = p->Lb_ASProblem;
    Bevel1 = p->Bevel1;
    Label4 = p->Label4;
    Label5 = p->Label5;
    Pn_ScTime = p->Pn_ScTime;
    Label6 = p->Label6;
    Label3 = p->Label3;
    Pn_Remain = p->Pn_Remain;
    Label7 = p->Label7;
    Btn_Stop = p->Btn_Stop;

    TMR_AS->setInterval(1000);
}

void TFm_Cmain::setScheduleControlsEnabled(bool enabled)
{
    Btn_AddToList->setEnabled(enabled);
    Btn_Remove->setEnabled(enabled);
    Btn_Clear->setEnabled(enabled);
    Btn_Convert->setEnabled(enabled);
    File1->menuAction()->setEnabled(enabled);
    Tool1->menuAction()->setEnabled(enabled);
    SetInterval1->setEnabled(enabled);
    Start1->setEnabled(enabled);
}

void TFm_Cmain::SetInterval1Click()
{
    m_windows.configureSchedule();
}

void TFm_Cmain::Start1Click()
{
    setScheduleControlsEnabled(false);
    m_schedule.start();
}

void TFm_Cmain::Stop1Click()
{
    m_schedule.stop();
    setScheduleControlsEnabled(true);
}

void TFm_Cmain::Btn_StopClick()
{
    Stop1Click();
}

void TFm_Cmain::TMR_ASTimer()
{
    m_schedule.tick();
}

void TFm_Cmain::setTimerEnabled(bool enabled)
{
    if (enabled)
        TMR_AS->start();
    else
        TMR_AS->stop();
}

bool TFm_Cmain::lampIsLit()
{
    return static_cast<SchedulePanel*>(Pn_ASMsg)->lampIsLit();
}

void TFm_Cmain::setLampLit(bool lit)
{
    static_cast<SchedulePanel*>(Pn_ASMsg)->setLampLit(lit);
}

void TFm_Cmain::showReadouts(const std::string& interval, const std::string& remaining)
{
    static_cast<SchedulePanel*>(Pn_ASMsg)->showReadouts(QString::fromStdString(interval),
                                                        QString::fromStdString(remaining));
}

void TFm_Cmain::showProblem(const std::string& text)
{
    static_cast<SchedulePanel*>(Pn_ASMsg)->showProblem(fromPath(text));
}

void TFm_Cmain::showPanel()
{
    Pn_ASMsg->show();
}

void TFm_Cmain::hidePanel()
{
    Pn_ASMsg->hide();
}

void TFm_Cmain::replaceList(const std::vector<std::string>& paths)
{
    ListBox1->clear();
    QStringList items;
    items.reserve(static_cast<qsizetype>(paths.size()));
    for (const std::string& p : paths)
        items << fromPath(p);
    ListBox1->addItems(items);
    makeFirstItemCurrent();
    FileListBox1->clear();
    for (const std::string& p : paths)
        FileListBox1->addItem(fromPath(p.substr(p.rfind('/') + 1)));
}
