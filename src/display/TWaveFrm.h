#pragma once

#include <QDialog>

// The signature display: up to five signatures as load curves over angle.
class TWaveFrm : public QDialog
{
    Q_OBJECT
public:
    explicit TWaveFrm(QWidget* owner);
};

extern TWaveFrm* WaveFrm;
