#pragma once

#include "ui/DialogService.h"

// The real dialogs: QFileDialog and QMessageBox.
class QtDialogService : public DialogService
{
public:
    QStringList openFileNames(QWidget* parent, const QString& title, const QString& directory,
                              const QString& filter) override;
    QString pickFileName(QWidget* parent, const QString& title, const QString& directory, const QString& fileName,
                         const QString& filter) override;
    QString chooseDirectory(QWidget* parent, const QString& title, const QString& directory) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& directory, const QString& fileName,
                         const QString& filter, Overwrite overwrite) override;
    bool question(QWidget* parent, const QString& text, const QString& caption) override;
    void message(QWidget* parent, const QString& text, const QString& caption) override;
    void warning(QWidget* parent, const QString& text, const QString& caption) override;
    void error(QWidget* parent, const QString& text, const QString& caption) override;
};
