#pragma once

#include <QFrame>

class QLabel;
class QPushButton;

// The auto schedule's status panel over the main window's list: the lamp
// that blinks with every tick, the interval and the minutes left, why the
// read folder could not be listed, and Stop.
class SchedulePanel : public QFrame
{
public:
    explicit SchedulePanel(QWidget* parent);

    // Controls, named as the rest of the program refers to them.
    QFrame* Pn_ASLed = nullptr;
    QLabel* Label8 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QLabel* Pn_ScTime = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Pn_Remain = nullptr;
    QLabel* Label7 = nullptr;
    QPushButton* Btn_Stop = nullptr;
    QLabel* Lb_ASProblem = nullptr;

    bool lampIsLit() const;
    void setLampLit(bool lit);
    void showReadouts(const QString& interval, const QString& remaining);
    // One line, cut in the middle where it is too long; the whole text as tool tip.
    void showProblem(const QString& text);
};
