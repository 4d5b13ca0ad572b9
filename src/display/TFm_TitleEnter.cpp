#include "TFm_TitleEnter.h"

TFm_TitleEnter* Fm_TitleEnter = nullptr;

TFm_TitleEnter::TFm_TitleEnter(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("Fm_TitleEnter"));
    setWindowTitle(QStringLiteral("Fm_TitleEnter"));
    setFixedSize(424, 141);
}
