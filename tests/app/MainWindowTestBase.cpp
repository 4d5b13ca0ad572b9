#include "MainWindowTestBase.h"

#include "app/Application.h"
#include "app/TFm_Cmain.h"
#include "settings/ConverterSettings.h"

#include <QPushButton>
#include <QTest>

#include <memory>

void MainWindowTestBase::setUpFolders()
{
    m_config = new QTemporaryDir;
    m_data = new QTemporaryDir;
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    ConverterSettings = SettingsRecord{};
    m_dialogs = new ScriptedDialogs;
    setDialogService(std::unique_ptr<DialogService>(m_dialogs));
}

void MainWindowTestBase::startWindows()
{
    createWindows();
    Fm_Cmain->show();
    QVERIFY(QTest::qWaitForWindowExposed(Fm_Cmain));
}

void MainWindowTestBase::addFiles(const QStringList& files)
{
    m_dialogs->expectOpen(files);
    QTest::mouseClick(Fm_Cmain->Btn_AddToList, Qt::LeftButton);
}

void MainWindowTestBase::tearDown()
{
    const bool unexpected = !m_dialogs->unexpected.isEmpty();
    const bool unanswered = !m_dialogs->allAnswered();
    const QString problems = m_dialogs->problems();
    delete Fm_Cmain;
    Fm_Cmain = nullptr;
    delete m_config;
    m_config = nullptr;
    delete m_data;
    m_data = nullptr;
    QVERIFY2(!unexpected, qPrintable(problems));
    QVERIFY2(!unanswered, qPrintable(problems));
}
