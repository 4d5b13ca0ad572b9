#include "MainWindowTestBase.h"

#include "app/Program.h"
#include "app/TFm_Cmain.h"
#include "settings/ConverterSettings.h"

#include <QPushButton>
#include <QTest>

MainWindowTestBase::MainWindowTestBase() = default;
MainWindowTestBase::~MainWindowTestBase() = default;

TFm_Cmain* MainWindowTestBase::cmain() const
{
    return m_program->Fm_Cmain.get();
}

SettingsRecord& MainWindowTestBase::settings() const
{
    return m_program->ConverterSettings;
}

void MainWindowTestBase::setUpFolders()
{
    m_config = new QTemporaryDir;
    m_data = new QTemporaryDir;
    qputenv("XDG_CONFIG_HOME", m_config->path().toLocal8Bit());
    m_dialogs = new ScriptedDialogs;
    m_scripted = std::make_unique<ScopedDialogs>(std::unique_ptr<DialogService>(m_dialogs));
}

void MainWindowTestBase::startWindows()
{
    m_program.reset();
    m_program = std::make_unique<Program>();
    cmain()->show();
    QVERIFY(QTest::qWaitForWindowExposed(cmain()));
}

void MainWindowTestBase::addFiles(const QStringList& files)
{
    m_dialogs->expectOpen(files);
    QTest::mouseClick(cmain()->Btn_AddToList, Qt::LeftButton);
}

void MainWindowTestBase::tearDown()
{
    const bool unexpected = !m_dialogs->unexpected.isEmpty();
    const bool unanswered = !m_dialogs->allAnswered();
    const QString problems = m_dialogs->problems();
    m_program.reset();
    m_scripted.reset();
    m_dialogs = nullptr;
    delete m_config;
    m_config = nullptr;
    delete m_data;
    m_data = nullptr;
    QVERIFY2(!unexpected, qPrintable(problems));
    QVERIFY2(!unanswered, qPrintable(problems));
}
