// The auto schedule through the main window's handlers and its dialog.
#include "LayoutChecks.h"
#include "ScopedService.h"
#include "ScriptedDialogs.h"
#include "app/Program.h"
#include "app/TFm_Cmain.h"
#include "samplegen/SampleSignature.h"
#include "schedule/TFm_ASSetup.h"
#include "settings/ConverterSettings.h"
#include "ui/QtDialogService.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>

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
    std::unique_ptr<ScopedDialogs> m_scripted;
    std::unique_ptr<Program> m_program;
    ManualClock m_clock;

    TFm_Cmain* cmain() const { return m_program->Fm_Cmain.get(); }
    SettingsRecord& settings() const { return m_program->ConverterSettings; }

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
        return {cmain()->Btn_AddToList,       cmain()->Btn_Remove,          cmain()->Btn_Clear,    cmain()->Btn_Convert,
                cmain()->File1->menuAction(), cmain()->Tool1->menuAction(), cmain()->SetInterval1, cmain()->Start1};
    }
    static bool enabled(QObject* o)
    {
        if (auto* w = qobject_cast<QWidget*>(o))
            return w->isEnabled();
        return qobject_cast<QAction*>(o)->isEnabled();
    }
    // Opens the dialog as its menu item does and runs steps in it. The dialog
    // is closed afterwards, as Ok does, when the steps left it open (a failed
    // check returns early), so a failure cannot leave the test waiting on it.
    void inDialog(const std::function<void()>& steps)
    {
        QTimer::singleShot(0, this, [this, steps] {
            steps();
            if (m_program->Fm_ASSetup->isVisible())
                m_program->Fm_ASSetup->accept();
        });
        cmain()->SetInterval1->trigger();
    }

    // Types name into the open file dialog's name field and presses Enter;
    // offered is what the field showed first.
    void typeIntoFileDialog(const QString& name, QString& offered)
    {
        QFileDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())));
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(field);
        offered = field->text();
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, name);
        // A dialog that refuses the name says so in a box of its own and stays;
        // both are closed after a while so that a failure cannot hang the test.
        QTimer::singleShot(3000, dialog, [setup = m_program->Fm_ASSetup] {
            for (int i = 0; i < 3; ++i)
                if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget()); open && open != setup)
                    open->reject();
        });
        QTest::keyClick(field, Qt::Key_Return);
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
        m_dialogs = new ScriptedDialogs;
        m_scripted = std::make_unique<ScopedDialogs>(std::unique_ptr<DialogService>(m_dialogs));
        m_program = std::make_unique<Program>();
        cmain()->setScheduleClock(m_clock);
        cmain()->show();
    }

    void cleanup()
    {
        const bool answered = m_dialogs->unexpected.isEmpty() && m_dialogs->allAnswered();
        const QString problems = m_dialogs->problems();
        m_program.reset();
        m_scripted.reset();
        delete m_dir;
        m_dir = nullptr;
        QVERIFY2(answered, qPrintable(problems));
    }

    // The dialog's table: every control inside its parent and clear of its
    // siblings, and the dialog shows each where the table puts it.
    void setupDialogLayoutTableKeepsItsShape()
    {
        TFm_ASSetup& d = *m_program->Fm_ASSetup;
        QCOMPARE(d.size(), TFm_ASSetup::ClientSize);
        QCOMPARE(layoutchecks::outsideParent(TFm_ASSetup::Layout, d), QStringList());
        QCOMPARE(layoutchecks::siblingOverlaps(TFm_ASSetup::Layout, d), QStringList());
        for (const Placement& p : TFm_ASSetup::Layout) {
            const auto* w = d.findChild<QWidget*>(QLatin1String(p.name));
            QVERIFY2(w, p.name);
            // The labels beside the interval keep their corner and grow with their text.
            if (qobject_cast<const QLabel*>(w))
                QCOMPARE(w->pos(), p.designed.topLeft());
            else
                QCOMPARE(w->geometry(), p.designed);
        }
        QCOMPARE(d.GroupBox1->title(), QStringLiteral("Auto Backup Time Inerval"));
        QCOMPARE(d.Label2->text(), QStringLiteral("Every"));
        QCOMPARE(d.Label1->text(), QStringLiteral("Min."));
        QCOMPARE(d.Btn_SelLoadDir->text(), QStringLiteral("..."));
        QCOMPARE(d.Button1->text(), QStringLiteral("&Ok"));
    }

    void menuStaysHiddenAndPanelIsLaidOut()
    {
        QVERIFY(!cmain()->Schedule1->menuAction()->isVisible());
        QVERIFY(!cmain()->Pn_ASMsg->isVisible());
        QCOMPARE(cmain()->Pn_ScTime->text(), QStringLiteral("0000"));
        QCOMPARE(cmain()->Pn_Remain->text(), QStringLiteral("0000"));
        QCOMPARE(cmain()->Pn_ScTime->palette().color(QPalette::Window), QColor(0, 0, 128));
        QCOMPARE(cmain()->Pn_Remain->palette().color(QPalette::Window), QColor(0, 128, 0));
        QCOMPARE(cmain()->Label3->text(), QStringLiteral("NEXT BACKUP MIN. LEFT "));
        QCOMPARE(cmain()->Btn_Stop->geometry(), QRect(69, 159, 75, 25));
        QCOMPARE(cmain()->TMR_AS->interval(), 1000);
        QVERIFY(!cmain()->TMR_AS->isActive());
    }

    void startRunsTicksAndStopGivesTheControlsBack()
    {
        sample(QStringLiteral("H0001"), 0);
        sample(QStringLiteral("h0002"), 1);
        sample(QStringLiteral("H0003.wav"), 2);
        settings().asInterval = 2;
        settings().asReadDir = m_dir->path().toStdString();
        settings().asSaveDir = m_dir->filePath(QStringLiteral("out")).toStdString();

        cmain()->Start1->trigger();
        for (QObject* o : scheduleControls())
            QVERIFY2(!enabled(o), qPrintable(o->objectName()));
        QVERIFY(cmain()->Btn_View->isEnabled() && cmain()->Btn_ConvertSelected->isEnabled());
        QVERIFY(cmain()->Stop1->isEnabled());
        QVERIFY(cmain()->TMR_AS->isActive());

        cmain()->TMR_ASTimer();
        QVERIFY(cmain()->Pn_ASMsg->isVisible());
        QCOMPARE(cmain()->Pn_ScTime->text(), QStringLiteral("2"));
        QCOMPARE(cmain()->Pn_Remain->text(), QStringLiteral("2"));
        QCOMPARE(cmain()->Pn_ASLed->palette().color(QPalette::Window), QColor(0, 255, 0));

        m_clock.t += 2.0 / 1440;
        cmain()->TMR_ASTimer();
        QCOMPARE(cmain()->Pn_Remain->text(), QStringLiteral("0"));
        QCOMPARE(cmain()->Pn_ASLed->palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(QDir(m_dir->filePath(QStringLiteral("out"))).entryList(QDir::Files),
                 QStringList({QStringLiteral("H0001.csv"), QStringLiteral("h0002.csv")}));
        QVERIFY(cmain()->TMR_AS->isActive());
        QVERIFY(!cmain()->Pn_Convert->isVisible());

        QTest::mouseClick(cmain()->Btn_Stop, Qt::LeftButton);
        QVERIFY(!cmain()->TMR_AS->isActive());
        QVERIFY(!cmain()->Pn_ASMsg->isVisible());
        for (QObject* o : scheduleControls())
            QVERIFY2(enabled(o), qPrintable(o->objectName()));
        QCOMPARE(cmain()->ListBox1->count(), 2);
        QCOMPARE(cmain()->ListBox1->item(1)->text(), m_dir->filePath(QStringLiteral("h0002")));
    }

    void intervalKeysAcceptOnlyDigits()
    {
        settings().asInterval = 0;
        inDialog([this] {
            QLineEdit* edit = m_program->Fm_ASSetup->Edit1;
            edit->selectAll();
            QTest::keyClick(edit, Qt::Key_1);
            QCOMPARE(settings().asInterval, 1);
            QTest::keyClick(edit, Qt::Key_5);
            QCOMPARE(settings().asInterval, 15);
            typeInto(edit, QStringLiteral("a-+ "));
            QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(edit->text(), QStringLiteral("15"));

            // Deleting both digits: the empty text is refused and 1 stays in force.
            QTest::keyClick(edit, Qt::Key_Backspace);
            QCOMPARE(settings().asInterval, 1);
            m_dialogs->expectError();
            QTest::keyClick(edit, Qt::Key_Backspace);
            QCOMPARE(m_dialogs->last(Kind::Error)->text, QStringLiteral("'' is not a valid integer value"));
            QCOMPARE(settings().asInterval, 1);
            m_program->Fm_ASSetup->close(); // the close box saves as Ok does
        });
        QVERIFY(iniText().contains(QStringLiteral("AS INTERVAL=1\n")));
    }

    void tabMovesOnFromTheInterval()
    {
        settings().asInterval = 12;
        inDialog([this] {
            QLineEdit* edit = m_program->Fm_ASSetup->Edit1;
            QVERIFY(QTest::qWaitForWindowActive(m_program->Fm_ASSetup));
            QTRY_COMPARE(QApplication::focusWidget(), edit);
            // The filter that keeps letters out of the field used to swallow Tab too.
            QTest::keyClick(edit, Qt::Key_Tab);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(m_program->Fm_ASSetup->Ed_LoadFromDir));
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Tab, Qt::ShiftModifier);
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(m_program->Fm_ASSetup->Button1));
            edit->setFocus();
            QTest::keyClick(edit, Qt::Key_Backtab, Qt::ShiftModifier); // what X sends for Shift+Tab
            QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget*>(m_program->Fm_ASSetup->Button1));
            QCOMPARE(edit->text(), QStringLiteral("12"));
            QCOMPARE(settings().asInterval, 12);
        });
        QVERIFY(iniText().contains(QStringLiteral("AS INTERVAL=12\n")));
    }

    void passMakesTheFirstItemCurrent()
    {
        sample(QStringLiteral("H0001"), 0);
        sample(QStringLiteral("H0002"), 1);
        settings().asInterval = 1;
        settings().asReadDir = m_dir->path().toStdString();
        settings().asSaveDir = m_dir->filePath(QStringLiteral("out")).toStdString();
        // The user had moved the current item of the list a pass replaces.
        m_dialogs->expectOpen({QStringLiteral("/a/1"), QStringLiteral("/a/2"), QStringLiteral("/a/3")});
        QTest::mouseClick(cmain()->Btn_AddToList, Qt::LeftButton);
        cmain()->ListBox1->setCurrentRow(2, QItemSelectionModel::NoUpdate);

        cmain()->Start1->trigger();
        cmain()->TMR_ASTimer();
        m_clock.t += 1.0 / 1440;
        cmain()->TMR_ASTimer();
        QCOMPARE(QDir(m_dir->filePath(QStringLiteral("out"))).entryList(QDir::Files).size(), 2);
        QCOMPARE(cmain()->ListBox1->count(), 2);
        QCOMPARE(cmain()->ListBox1->currentRow(), 0);
        QTest::mouseClick(cmain()->Btn_Stop, Qt::LeftButton);
        // So Remove after the schedule removes the first file, not nothing.
        QTest::mouseClick(cmain()->Btn_Remove, Qt::LeftButton);
        QCOMPARE(cmain()->ListBox1->count(), 1);
        QCOMPARE(cmain()->ListBox1->item(0)->text(), m_dir->filePath(QStringLiteral("H0002")));
    }

    // The real file dialog offers "*.*" and takes the typed name of a file
    // that is not there: the folder is what counts.
    void realLoadDialogTakesATypedNameOfNoFile()
    {
        const QString folder = m_dir->filePath(QStringLiteral("press"));
        QDir().mkpath(folder);
        sample(QStringLiteral("press/H0001"), 0);
        settings().asReadDir = folder.toStdString();
        QString offered;
        {
            const ScopedDialogs real{std::make_unique<QtDialogService>()};
            inDialog([&] {
                QTimer::singleShot(0, this, [&] {
                    typeIntoFileDialog(QStringLiteral("NotThere"), offered);
                    // Whatever went wrong above, the test must not hang on the dialog.
                    if (auto* left = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
                        left->reject();
                });
                QTest::mouseClick(m_program->Fm_ASSetup->Btn_SelLoadDir, Qt::LeftButton);
            });
        }
        QCOMPARE(offered, QStringLiteral("*.*"));
        QCOMPARE(QString::fromStdString(settings().asReadDir), folder);
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("press/NotThere"))));
    }

    void dialogsSetDirectoriesAndPrefixAndShowSaves()
    {
        settings().asInterval = 7;
        settings().asReadDir = "/old/read";
        settings().asSaveDir = "/old/save";
        inDialog([this] {
            QCOMPARE(m_program->Fm_ASSetup->Edit1->text(), QStringLiteral("7"));
            QCOMPARE(m_program->Fm_ASSetup->Ed_LoadFromDir->text(), QStringLiteral("/old/read"));
            // The folder is picked by naming any file in it, one that does not exist too.
            m_dialogs->expectPick(QStringLiteral("/data/press/H0001"));
            QTest::mouseClick(m_program->Fm_ASSetup->Btn_SelLoadDir, Qt::LeftButton);
            const auto* pick = m_dialogs->last(Kind::Pick);
            QVERIFY(pick);
            QCOMPARE(pick->title, QStringLiteral("Select a Directory to Load From"));
            QCOMPARE(pick->directory, QStringLiteral("/old/read"));
            QCOMPARE(pick->fileName, QStringLiteral("*.*"));
            QCOMPARE(pick->filter, QStringLiteral("ZRD wave file (*.)|*."));
            QCOMPARE(m_program->Fm_ASSetup->Ed_LoadFromDir->text(), QStringLiteral("/data/press"));
            m_dialogs->expectPick({}); // cancelled: nothing changes
            QTest::mouseClick(m_program->Fm_ASSetup->Btn_SelLoadDir, Qt::LeftButton);
            QCOMPARE(m_dialogs->last(Kind::Pick)->directory, QStringLiteral("/data/press"));
            QCOMPARE(m_dialogs->last(Kind::Pick)->fileName, QStringLiteral("*.*"));
            QCOMPARE(m_program->Fm_ASSetup->Ed_LoadFromDir->text(), QStringLiteral("/data/press"));

            m_dialogs->expectSave(QStringLiteral("/out/Batch.csv"));
            QTest::mouseClick(m_program->Fm_ASSetup->Btn_SelSaveDir, Qt::LeftButton);
            QCOMPARE(m_dialogs->last(Kind::Save)->fileName, QStringLiteral("No Prefix"));
            QCOMPARE(m_dialogs->last(Kind::Save)->directory, QStringLiteral("/old/save"));
            m_dialogs->expectSave({}); // cancelled: nothing changes
            QTest::mouseClick(m_program->Fm_ASSetup->Btn_SelSaveDir, Qt::LeftButton);
            QCOMPARE(m_dialogs->last(Kind::Save)->fileName, QStringLiteral("/out/Batch.csv"));
            QTest::mouseClick(m_program->Fm_ASSetup->Button1, Qt::LeftButton);
        });
        QCOMPARE(settings().asReadDir, std::string("/data/press"));
        QCOMPARE(settings().asSaveDir, std::string("/out"));
        QCOMPARE(settings().asPrefix, std::string("Batch.csv"));
        const QString ini = iniText();
        for (const char* line :
             {"AS INTERVAL=7\n", "AS READ DIR=/data/press\n", "AS SAVE DIR=/out\n", "AS PREFIX=Batch.csv\n"})
            QVERIFY2(ini.contains(QLatin1String(line)), qPrintable(ini));
        QVERIFY(!m_program->Fm_ASSetup->isVisible());
    }
};

QTEST_MAIN(ScheduleTest)
#include "tst_schedule.moc"
