#include "CommandExport.h"
#include "app/Program.h"
#include "app/TFm_Cmain.h"
#include "common/StandardDescriptors.h"
#include "ui/AppInfo.h"
#include "ui/ErrorGuard.h"

#include <QApplication>
#include <QFileInfo>
#include <QUrl>

#include <clocale>

int main(int argc, char** argv)
{
    if (!openStandardDescriptors())
        return 1;
    // --export and --print-pdf write a file and end without a window.
    if (isCommandExport(argc, argv))
        return runCommandExport(argc, argv);
    QApplication app(argc, argv);
    // Qt takes the user's locale for everything; numbers the program formats
    // itself (reports, labels, the printout) keep the "." they are defined with.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QString::fromUtf8(ApplicationTitle));
    try {
        // The one owner of the program's state and windows, handed on from here.
        Program program;
        // Files handed over by the desktop ("Open With") join the list as if
        // they had been dropped on it.
        QList<QUrl> files;
        for (const QString& arg : QApplication::arguments().mid(1))
            files << QUrl::fromLocalFile(QFileInfo(arg).absoluteFilePath());
        if (!files.isEmpty())
            program.Fm_Cmain->dropUrls(files);
        program.Fm_Cmain->show();
        QApplication::exec();
    } catch (const std::exception& e) {
        showCommandError(nullptr, e.what());
    }
    return 0;
}
