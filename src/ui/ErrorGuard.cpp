#include "ui/ErrorGuard.h"

#include "ui/AppInfo.h"
#include "ui/DialogService.h"

void showCommandError(QWidget* parent, const char* text)
{
    dialogs().error(parent, QString::fromLocal8Bit(text), QString::fromUtf8(ApplicationTitle));
}
