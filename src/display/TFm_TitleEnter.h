#pragma once

#include <QDialog>

// Asks for the title printed on top of a printout.
class TFm_TitleEnter : public QDialog
{
    Q_OBJECT
public:
    explicit TFm_TitleEnter(QWidget* owner);
};

extern TFm_TitleEnter* Fm_TitleEnter;
