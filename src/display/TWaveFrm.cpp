#include "TWaveFrm.h"

TWaveFrm* WaveFrm = nullptr;

TWaveFrm::TWaveFrm(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("WaveFrm"));
    setWindowTitle(QStringLiteral("Signature Display"));
    resize(790, 552);
}
