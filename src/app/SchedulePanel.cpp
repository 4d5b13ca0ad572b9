#include "SchedulePanel.h"

#include "ui/MakeWidget.h"

#include <QLabel>
#include <QPushButton>

namespace {

QLabel* label(QWidget* parent, const char* name, const char* text, QRect at)
{
    auto* l = makeWidget<QLabel>(parent, name, at);
    l->setText(QString::fromLatin1(text));
    return l;
}

// A lowered panel with a caption in white bold type on a coloured ground.
QLabel* readout(QWidget* parent, const char* name, QRect at, const QColor& ground)
{
    auto* p = label(parent, name, "0000", at);
    p->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    p->setAlignment(Qt::AlignCenter);
    p->setAutoFillBackground(true);
    QPalette pal = p->palette();
    pal.setColor(QPalette::Window, ground);
    pal.setColor(QPalette::WindowText, Qt::white);
    p->setPalette(pal);
    QFont f = p->font();
    f.setPixelSize(19);
    f.setBold(true);
    p->setFont(f);
    return p;
}

void setGround(QWidget* w, const QColor& c)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, c);
    w->setPalette(pal);
}

} // namespace

SchedulePanel::SchedulePanel(QWidget* parent) : QFrame(parent)
{
    QWidget* p = this;
    Pn_ASLed = makeWidget<QFrame>(p, "Pn_ASLed", {11, 12, 11, 11});
    Pn_ASLed->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Pn_ASLed->setLineWidth(1);
    Pn_ASLed->setAutoFillBackground(true);
    setGround(Pn_ASLed, Qt::black);

    Label8 = label(p, "Label8", "AUTO  SCHEDULE ON", {30, 9, 170, 17});
    QFont heading = Label8->font();
    heading.setPixelSize(13);
    heading.setBold(true);
    Label8->setFont(heading);
    Lb_ASProblem = label(p, "Lb_ASProblem", "", {8, 24, 192, 13});
    QPalette warn = Lb_ASProblem->palette();
    warn.setColor(QPalette::WindowText, QColor(176, 0, 0));
    Lb_ASProblem->setPalette(warn);
    Bevel1 = makeWidget<QFrame>(p, "Bevel1", {7, 38, 192, 119});
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Label4 = label(p, "Label4", "SCHEDULED ", {72, 40, 80, 13});
    Label5 = label(p, "Label5", "EVERY", {21, 64, 40, 13});
    Pn_ScTime = readout(p, "Pn_ScTime", {63, 58, 85, 25}, QColor(0, 0, 128));
    Label6 = label(p, "Label6", "MIN.", {150, 64, 40, 13});
    Label3 = label(p, "Label3", "NEXT BACKUP MIN. LEFT ", {42, 103, 150, 13});
    Pn_Remain = readout(p, "Pn_Remain", {63, 121, 85, 25}, QColor(0, 128, 0));
    Label7 = label(p, "Label7", "MIN.", {150, 130, 40, 13});
    Btn_Stop = makeWidget<QPushButton>(p, "Btn_Stop", {69, 159, 75, 25});
    Btn_Stop->setText(QStringLiteral("&Stop"));
    Btn_Stop->setAutoDefault(false);
}

bool SchedulePanel::lampIsLit() const
{
    return Pn_ASLed->palette().color(QPalette::Window) != QColor(Qt::black);
}

void SchedulePanel::setLampLit(bool lit)
{
    setGround(Pn_ASLed, lit ? QColor(0, 255, 0) : QColor(Qt::black));
}

void SchedulePanel::showReadouts(const QString& interval, const QString& remaining)
{
    Pn_ScTime->setText(interval);
    Pn_Remain->setText(remaining);
}

void SchedulePanel::showProblem(const QString& text)
{
    Lb_ASProblem->setToolTip(text);
    Lb_ASProblem->setText(Lb_ASProblem->fontMetrics().elidedText(text, Qt::ElideMiddle, Lb_ASProblem->width()));
}
