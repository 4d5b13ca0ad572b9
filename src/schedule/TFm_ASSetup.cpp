#include "schedule/TFm_ASSetup.h"

#include "convert/OutputFileName.h"
#include "qtcore/LocalPath.h"
#include "settings/ConverterSettings.h"
#include "settings/StrToInt.h"
#include "ui/DialogService.h"
#include "ui/ErrorGuard.h"
#include "ui/FontFit.h"
#include "ui/MakeWidget.h"

#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TFm_ASSetup::TFm_ASSetup(QWidget* owner, SettingsRecord& settings) : QDialog(owner), m_settings(settings)
{
    setObjectName(QStringLiteral("Fm_ASSetup"));
    setWindowTitle(QStringLiteral("Auto Schedule Configuration"));
    setFixedSize(ClientSize);
    buildControls();
    applyFonts();
    connectControls();
}

void TFm_ASSetup::buildControls()
{
    GroupBox1 = makeWidget<QGroupBox>(this, "GroupBox1");
    Label2 = makeWidget<QLabel>(GroupBox1, "Label2");
    Edit1 = makeWidget<QLineEdit>(GroupBox1, "Edit1");
    Label1 = makeWidget<QLabel>(GroupBox1, "Label1");
    GroupBox2 = makeWidget<QGroupBox>(this, "GroupBox2");
    Ed_LoadFromDir = makeWidget<QLineEdit>(GroupBox2, "Ed_LoadFromDir");
    Btn_SelLoadDir = makeWidget<QPushButton>(GroupBox2, "Btn_SelLoadDir");
    Btn_SelLoadDir->setAccessibleName(QStringLiteral("Choose the load directory"));
    GroupBox3 = makeWidget<QGroupBox>(this, "GroupBox3");
    Ed_SaveToDir = makeWidget<QLineEdit>(GroupBox3, "Ed_SaveToDir");
    Btn_SelSaveDir = makeWidget<QPushButton>(GroupBox3, "Btn_SelSaveDir");
    Btn_SelSaveDir->setAccessibleName(QStringLiteral("Choose the save directory and prefix"));
    Button1 = makeWidget<QPushButton>(this, "Button1");
    Button1->setAutoDefault(false);
    placeFixed(*this, Layout);
    // The labels grow with their text; the fitting font leaves them alone.
    for (QLabel* l : {Label2, Label1}) {
        l->setProperty("autoSize", true);
        l->adjustSize();
    }

    setTabOrder(Edit1, Ed_LoadFromDir);
    setTabOrder(Ed_LoadFromDir, Btn_SelLoadDir);
    setTabOrder(Btn_SelLoadDir, Ed_SaveToDir);
    setTabOrder(Ed_SaveToDir, Btn_SelSaveDir);
    setTabOrder(Btn_SelSaveDir, Button1);
}

void TFm_ASSetup::applyFonts()
{
    // 11-pixel face for the dialog, 13-pixel bold for the group captions and
    // the interval; smaller where the default face would clip a caption.
    setFont(fittingFont(this, 11));
    QFont bold = font();
    bold.setBold(true);
    bold.setPixelSize(13);
    for (QWidget* w :
         {static_cast<QWidget*>(GroupBox1), static_cast<QWidget*>(GroupBox2), static_cast<QWidget*>(GroupBox3)}) {
        w->setFont(bold);
        for (QWidget* child : w->findChildren<QWidget*>())
            child->setFont(font());
    }
    Label2->setFont(bold);
    Label2->adjustSize();
    Edit1->setFont(bold);
    QFont edit = font();
    edit.setPixelSize(13);
    Ed_LoadFromDir->setFont(edit);
    Ed_SaveToDir->setFont(edit);
}

void TFm_ASSetup::connectControls()
{
    Edit1->installEventFilter(this);
    connect(Edit1, &QLineEdit::textChanged, this, guarded(this, [this] { Edit1Change(); }));
    connect(Btn_SelLoadDir, &QPushButton::clicked, this, guarded(this, [this] { Btn_SelLoadDirClick(); }));
    connect(Btn_SelSaveDir, &QPushButton::clicked, this, guarded(this, [this] { Btn_SelSaveDirClick(); }));
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TFm_ASSetup::showEvent(QShowEvent* event)
{
    guarded(this, [this] { FormShow(); })();
    Edit1->setFocus();
    QDialog::showEvent(event);
}

void TFm_ASSetup::FormShow()
{
    Edit1->setText(QString::number(m_settings.asInterval));
    Ed_LoadFromDir->setText(fromPath(m_settings.asReadDir));
    Ed_SaveToDir->setText(fromPath(m_settings.asSaveDir));
}

bool TFm_ASSetup::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::KeyPress)
        return Edit1KeyPress(static_cast<QKeyEvent*>(event));
    return QDialog::eventFilter(watched, event);
}

bool TFm_ASSetup::Edit1KeyPress(QKeyEvent* key)
{
    // Keys that type nothing (arrows, Home, Delete) move and edit as usual,
    // and Tab and Shift+Tab move the focus on as in every other field; of the
    // typed characters only digits and backspace pass.
    switch (key->key()) {
    case Qt::Key_Delete:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return false;
    default:
        break;
    }
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    if (text.size() == 1) {
        const QChar c = text.front();
        if (c == QLatin1Char('\b') || (c >= QLatin1Char('0') && c <= QLatin1Char('9')))
            return false;
    }
    return true;
}

void TFm_ASSetup::Edit1Change()
{
    m_settings.asInterval = strToInt(toPath(Edit1->text()));
}

void TFm_ASSetup::Btn_SelLoadDirClick()
{
    // A typed name of a file that does not exist is taken as well: only its folder counts.
    const QString chosen =
        dialogs().pickFileName(this, QStringLiteral("Select a Directory to Load From"), fromPath(m_settings.asReadDir),
                               QString::fromLatin1(LoadFileName), QString::fromLatin1(LoadFilter));
    if (chosen.isEmpty())
        return;
    m_settings.asReadDir = directoryPart(toPath(chosen));
    Ed_LoadFromDir->setText(fromPath(m_settings.asReadDir));
}

void TFm_ASSetup::Btn_SelSaveDirClick()
{
    const QString name = dialogs().saveFileName(this, QStringLiteral("Select a Directory to Save to"),
                                                fromPath(m_settings.asSaveDir), m_saveDialogFileName,
                                                QString::fromLatin1(SaveFilter), DialogService::Overwrite::Replace);
    if (name.isEmpty())
        return;
    m_saveDialogFileName = name;
    m_settings.asSaveDir = directoryPart(toPath(name));
    Ed_SaveToDir->setText(fromPath(m_settings.asSaveDir));
    m_settings.asPrefix = fileNamePart(toPath(name));
}

void TFm_ASSetup::FormClose()
{
    SaveScheduleSettings(m_settings, settingsFilePath());
}

void TFm_ASSetup::done(int result)
{
    // Every way of closing saves; a failed save is shown, and the dialog
    // still closes rather than trap the user.
    guarded(this, [this] { FormClose(); })();
    QDialog::done(result);
}
