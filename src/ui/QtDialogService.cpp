#include "ui/QtDialogService.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

namespace {

std::unique_ptr<DialogService>& current()
{
    static std::unique_ptr<DialogService> service = std::make_unique<QtDialogService>();
    return service;
}

} // namespace

DialogService& dialogs()
{
    return *current();
}

std::unique_ptr<DialogService> setDialogService(std::unique_ptr<DialogService> service)
{
    std::swap(current(), service);
    return service;
}

QStringList dialogNameFilters(const QString& filter)
{
    // Entries come in pairs: the visible name, then the patterns. A Qt dialog
    // takes its patterns from the parentheses of the name, so the name's own
    // "(*.*)" is replaced by the real patterns, where "*.*" means every file
    // (also one without a dot, as the instrument's files may be).
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i];
        QString patterns = parts[i + 1];
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        // "*." (names without an extension) has no wildcard form in a Qt
        // dialog; it lists every file instead.
        if (patterns == QLatin1String("*.*") || patterns == QLatin1String("*."))
            patterns = QStringLiteral("*");
        const auto open = name.lastIndexOf(QLatin1Char('('));
        if (open > 0)
            name = name.left(open).trimmed();
        out << QStringLiteral("%1 (%2)").arg(name, patterns);
    }
    return out;
}

QStringList QtDialogService::openFileNames(QWidget* parent, const QString& title, const QString& directory,
                                           const QString& filter)
{
    QFileDialog dialog(parent, title, directory);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setOption(QFileDialog::ReadOnly, false);
    dialog.setNameFilters(dialogNameFilters(filter));
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

namespace {

// Shows dialog offering fileName first; the one name chosen, or empty when cancelled.
QString chosenName(QFileDialog& dialog, const QString& fileName)
{
    // A full path from an earlier use opens its own folder; a bare name the given one.
    const QFileInfo name(fileName);
    if (fileName.contains(QLatin1Char('/')))
        dialog.setDirectory(name.absolutePath());
    dialog.selectFile(name.fileName());
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const QStringList files = dialog.selectedFiles();
    return files.isEmpty() ? QString() : files.first();
}

} // namespace

QString QtDialogService::pickFileName(QWidget* parent, const QString& title, const QString& directory,
                                      const QString& fileName, const QString& filter)
{
    QFileDialog dialog(parent, title, directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(dialogNameFilters(filter));
    return chosenName(dialog, fileName);
}

QString QtDialogService::chooseDirectory(QWidget* parent, const QString& title, const QString& directory)
{
    QFileDialog dialog(parent, title, directory);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

QString QtDialogService::saveFileName(QWidget* parent, const QString& title, const QString& directory,
                                      const QString& fileName, const QString& filter, Overwrite overwrite)
{
    QFileDialog dialog(parent, title, directory);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, overwrite == Overwrite::Replace);
    dialog.setNameFilters(dialogNameFilters(filter));
    return chosenName(dialog, fileName);
}

bool QtDialogService::question(QWidget* parent, const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Ok | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
}

void QtDialogService::message(QWidget* parent, const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogService::warning(QWidget* parent, const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::Warning, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

void QtDialogService::error(QWidget* parent, const QString& text, const QString& caption)
{
    QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, parent);
    box.exec();
}
