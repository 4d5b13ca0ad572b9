// The auto schedule through the main window's handlers and its dialog.
#include "Application.h"
#include "ConverterSettings.h"
#include "SampleSignature.h"
#include "ScriptedDialogs.h"
#include "TFm_ASSetup.h"
#include "TFm_Cmain.h"

#include <QAction>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Kind = ScriptedDialogs::Kind;

namespace {

class ManualClock : public ScheduleClock
{
public:
    double t = 20000.0 + 10.0 / 24;
    double now() const override { return t; }
};

} // namespace

class ScheduleTest : public QObject
{
    Q_OBJECT

    QTemporaryDir* m_dir = nullptr;
    ScriptedDialogs* m_dialogs = nullptr;
    ManualClock m_clock;

    QString iniText() const
    {
        QFile f(m_dir->filePath(QStringLiteral("cfg/Gauvrin.INI")));
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }
    void sample(const QString& name, std::uint32_t index)
    {
        const SignatureRecord r = makeSampleSignature(index);
        QFile f(m_dir->filePath(name));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(reinterpret_cast<const char*>(r.bytes.data()), static_cast<qint64>(r.bytes.size()));
    }
    QList<QObject*> scheduleControls() const
    {
        return {Fm_Cmain->Btn_AddToList,         Fm_Cmain->Btn_Remove,          Fm_Cmain->Btn_Clear,
                Fm_Cmain->Btn_Convert,           Fm_Cmain->File1->menuAction(), Fm_Cmain->Tool1->menuAction(),
                Fm_Cmain->SetInterval1,          Fm_Cmain->Start1};
    }
    static bool enabled(QObject* o)
    {
        if (auto* w = qobject_cast<QWidget*>(o))
            return w->isEnabled();
        return qobject_cast<QAction*>(o)->isEnabled();
    }
    void typeInto(QLineEdit* edit, const QString& keys)
    {
        for (QChar c : keys)
            QTest::keyClick(edit, c.toLatin1());
    }

private slots:
    void init()
    {
        m_dir = new QTemporaryDir;
        QDir(m_dir->path()).mkpath(QStringLiteral("cfg"));
        QDir(m_dir->path()).mkpath(QStringLiteral("out"));
        qputenv("XDG_CONFIG_HOME", m_dir->filePath(QStringLiteral("cfg")).toLocal8Bit());
        ConverterSettings = SettingsRecord{};
        m_dialogs = new ScriptedDialogs;
        setDialogService(std::unique_ptr<DialogService>(m_dialogs));
        createWindows();
        Fm_Cmain->setScheduleClock(m_clock);
        Fm_Cmain->show();
    }

    void cleanup()
    {
        QVERIFY2(m_dialogs->unexpected.isEmpty() && m_dialogs->allAnswered(), qPrintable(m_dialogs->problems()));
        delete Fm_Cmain;
        Fm_Cmain = nullptr;
        delete m_dir;
    }

    void menuStaysHiddenAndPanelIsLaidOut()
    {
        QVERIFY(!Fm_Cmain->Schedule1->menuAction()->isVisible());
        QVERIFY(!Fm_Cmain->Pn_ASMsg->isVisible());
        QCOMPARE(Fm_Cmain->Pn_ScTime->text(), QStringLiteral("0000"));
        QCOMPARE(Fm_Cmain->Pn_Remain->text(), QStringLiteral("0000"));
        QCOMPARE(Fm_Cmain->Pn_ScTime->palette().color(QPalette::Window), QColor(0, 0, 128));
        QCOMPARE(Fm_Cmain->Pn_Remain->palette().color(QPalette::Window), QColor(0, 128, 0));
        QCOMPARE(Fm_Cmain->Label3->text(), QStringLiteral("NEXT BACKUP MIN. LEFT "));
        QCOMPARE(Fm_Cmain->Btn_Stop->geometry(), QRect(69, 159, 75, 25));
        QCOMPARE(Fm_Cmain->TMR_AS->interval(), 1000);
        QVERIFY(!Fm_Cmain->TMR_AS->isActive());
    }

    void startRunsTicksAndStopGivesTheControlsBack()
    {
        sample(QStringLiteral("H0001"), 0);
        sample(QStringLiteral("h0002"), 1);
        sample(QStringLiteral("H0003.wav"), 2);
        ConverterSettings.asInterval = 2;
        ConverterSettings.asReadDir = m_dir->path().toStdString();
        ConverterSettings.asSaveDir = m_dir->filePath(QStringLiteral("out")).toStdString();

        Fm_Cmain->Start1->trigger();
        for (QObject* o : scheduleControls())
            QVERIFY2(!enabled(o), qPrintable(o->objectName()));
        QVERIFY(Fm_Cmain->Btn_View->isEnabled() && Fm_Cmain->Btn_ConvertSelected->isEnabled());
        QVERIFY(Fm_Cmain->Stop1->isEnabled());
        QVERIFY(Fm_Cmain->TMR_AS->isActive());

        Fm_Cmain->TMR_ASTimer();
        QVERIFY(Fm_Cmain->Pn_ASMsg->isVisible());
        QCOMPARE(Fm_Cmain->Pn_ScTime->text(), QStringLiteral("2"));
        QCOMPARE(Fm_Cmain->Pn_Remain->text(), QStringLiteral("2"));
        QCOMPARE(Fm_Cmain->Pn_ASLed->palette().color(QPalette::Window), QColor(0, 255, 0));

        m_clock.t += 2.0 / 1440;
        Fm_Cmain->TMR_ASTimer();
        QCOMPARE(Fm_Cmain->Pn_Remain->text(), QStringLiteral("0"));
        QCOMPARE(Fm_Cmain->Pn_ASLed->palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(QDir(m_dir->filePath(QStringLiteral("out"))).entryList(QDir::Files),
                 QStringList({"H0001.csv", "h0002.csv"}));
        QVERIFY(Fm_Cmain->TMR_AS->isActive());
        QVERIFY(!Fm_Cmain->Pn_Convert->isVisible());

        QTest::mouseClick(Fm_Cmain->Btn_Stop, Qt::LeftButton);
        QVERIFY(!Fm_Cmain->TMR_AS->isActive());
        QVERIFY(!Fm_Cmain->Pn_ASMsg->isVisible());
        for (QObject* o : scheduleControls())
            QVERIFY2(enabled(o), qPrintable(o->objectName()));
        QCOMPARE(Fm_Cmain->ListBox1->count(), 2);
        QCOMPARE(Fm_Cmain->ListBox1->item(1)->text(), m_dir->filePath(QStringLiteral("h0002")));
    }

    void intervalKeysAcceptOnlyDigits()
    {
        ConverterSettings.asInterval = 0;
        QTimer::singleShot(0, this, [this] {
            QLineEdit* edit = Fm_ASSetup->Edit1;
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_1);
            QCOMPARE(ConverterSettings.asInterval, 1);
            QTest::keyClick(edit, Qt::Key_5);
            QCOMPARE(ConverterSettings.asInterval, 15);
            typeInto(edit, QStringLiteral("a-+ "));
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(edit->text(), QStringLiteral("15"));

            // Deleting both digits: the empty text is refused and 1 stays in force.
            QTest::keyClick(edit, Qt::Key_Backspace);
            QCOMPARE(ConverterSettings.asInterval, 1);
            m_dialogs->expectError();
            QTest::keyClick(edit, Qt::Key_Backspace);
            QCOMPARE(m_dialogs->last(Kind::Error)->text, QStringLiteral("'' is not a valid integer value"));
            QCOMPARE(ConverterSettings.asInterval, 1);
            Fm_ASSetup->close(); // the close box saves as Ok does
        });
        Fm_Cmain->SetInterval1->trigger();
        QVERIFY(iniText().contains(QStringLiteral("AS INTERVAL=1\n")));
    }

    void dialogsSetDirectoriesAndPrefixAndShowSaves()
    {
        ConverterSettings.asInterval = 7;
        ConverterSettings.asReadDir = "/old/read";
        ConverterSettings.asSaveDir = "/old/save";
        QTimer::singleShot(0, this, [this] {
            QCOMPARE(Fm_ASSetup->Edit1->text(), QStringLiteral("7"));
            QCOMPARE(Fm_ASSetup->Ed_LoadFromDir->text(), QStringLiteral("/old/read"));
            m_dialogs->expectOpen({QStringLiteral("/data/press/H0001")});
            QTest::mouseClick(Fm_ASSetup->Btn_SelLoadDir, Qt::LeftButton);
            QCOMPARE(m_dialogs->last(Kind::Open)->title, QStringLiteral("Select a Directory to Load From"));
            QCOMPARE(m_dialogs->last(Kind::Open)->directory, QStringLiteral("/old/read"));
            QCOMPARE(Fm_ASSetup->Ed_LoadFromDir->text(), QStringLiteral("/data/press"));

            m_dialogs->expectSave(QStringLiteral("/out/Batch.csv"));
            QTest::mouseClick(Fm_ASSetup->Btn_SelSaveDir, Qt::LeftButton);
            QCOMPARE(m_dialogs->last(Kind::Save)->fileName, QStringLiteral("No Prefix"));
            QCOMPARE(m_dialogs->last(Kind::Save)->directory, QStringLiteral("/old/save"));
            m_dialogs->expectSave({}); // cancelled: nothing changes
            QTest::mouseClick(Fm_ASSetup->Btn_SelSaveDir, Qt::LeftButton);
            QCOMPARE(m_dialogs->last(Kind::Save)->fileName, QStringLiteral("/out/Batch.csv"));
            QTest::mouseClick(Fm_ASSetup->Button1, Qt::LeftButton);
        });
        Fm_Cmain->SetInterval1->trigger();
        QCOMPARE(ConverterSettings.asReadDir, std::string("/data/press"));
        QCOMPARE(ConverterSettings.asSaveDir, std::string("/out"));
        QCOMPARE(ConverterSettings.asPrefix, std::string("Batch.csv"));
        const QString ini = iniText();
        for (const char* line : {"AS INTERVAL=7\n", "AS READ DIR=/data/press\n", "AS SAVE DIR=/out\n",
                                 "AS PREFIX=Batch.csv\n"})
            QVERIFY2(ini.contains(QLatin1String(line)), qPrintable(ini));
        QVERIFY(!Fm_ASSetup->isVisible());
    }
};

QTEST_MAIN(ScheduleTest)
#include "tst_schedule.moc"
