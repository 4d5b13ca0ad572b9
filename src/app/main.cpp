#include "AppInfo.h"
#include "Application.h"
#include "TFm_Cmain.h"

#include <QApplication>
#include <QMessageBox>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
    try {
        createWindows();
        Fm_Cmain->show();
        QApplication::exec();
    } catch (const std::exception& e) {
        QMessageBox::critical(nullptr, QString::fromUtf8(ApplicationTitle), QString::fromLocal8Bit(e.what()));
    }
    delete Fm_Cmain;
    return 0;
}
