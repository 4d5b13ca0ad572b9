// The main window in the situations users meet: the output folder vanishing
// during a batch, inputs that are not signature files, and a settings file that
// is a folder, read-only, or holds nonsense. Each shows its box with the text
// the user acts on, the program goes on, and no file is lost or left half made.
#include "FaultSupport.h"
#include "MainWindowTestBase.h"
#include "ScriptedDialogs.h"
#include "app/Program.h"
#include "app/TFm_Cmain.h"
#include "settings/ConverterSettings.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <filesystem>

using Kind = ScriptedDialogs::Kind;

class FaultsMainWindowTest : public MainWindowTestBase
{
    Q_OBJECT

    static QByteArray contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    static void put(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QStringList samples(int count)
    {
        QStringList paths;
        for (int i = 1; i <= count; ++i) {
            paths << dataPath(QStringLiteral("H%1.wav").arg(i));
            faults::writeSample(paths.last().toStdString(), static_cast<unsigned>(i));
        }
        return paths;
    }

    QString lastText(Kind kind) const
    {
        const auto* c = m_dialogs->last(kind);
        return c ? c->text : QStringLiteral("<none>");
    }

    QStringList questions() const
    {
        QStringList texts;
        for (const auto& c : m_dialogs->calls)
            if (c.kind == Kind::Question)
                texts << c.text;
        return texts;
    }

    void expectNoTemporaries()
    {
        for (const QTemporaryDir* d : {m_config, m_data}) {
            const auto left = faults::leftoverTemporaries(d->path().toStdString());
            QVERIFY2(left.empty(), left.empty() ? "" : left.front().c_str());
        }
    }

private slots:
    void init() { setUpFolders(); }
    void cleanup() { tearDown(); }

    void outputFolderRemovedDuringABatchAsksForEachLaterFile()
    {
        startWindows();
        addFiles(samples(3));
        const QString out = dataPath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(out));
        // Runs at the first chance the batch gives the event loop: after the first report.
        QTimer::singleShot(0, [out] { QDir(out).removeRecursively(); });
        m_dialogs->expectSave(out + QStringLiteral("/No Prefix"));
        m_dialogs->expectQuestion(true);
        m_dialogs->expectQuestion(false);
        m_dialogs->expectMessage();
        QTest::mouseClick(cmain()->Btn_Convert, Qt::LeftButton);
        QCOMPARE(questions(), QStringList({QStringLiteral("Error! Cannot create  %1/H2.csv  Continue?").arg(out),
                                           QStringLiteral("Error! Cannot create  %1/H3.csv  Continue?").arg(out)}));
        QCOMPARE(lastText(Kind::Message), QStringLiteral("1 file(s) has been converted successfully!!"));
        QVERIFY(!QFileInfo::exists(out));
        QVERIFY(!cmain()->Pn_Convert->isVisible());
        expectNoTemporaries();
    }

    void inputsThatAreNotSignatureFilesAskAndTheBatchGoesOn()
    {
        startWindows();
        const QStringList good = samples(2);
        QStringList files{good[0]};
        for (const std::string& h : faults::makeHostileInputs(m_data->path().toStdString()))
            files << QString::fromStdString(h);
        const int hostile = int(files.size()) - 1;
        const QString sparse = dataPath(QStringLiteral("H-sparse.wav"));
        faults::makeSparseFile(sparse.toStdString(), 2LL << 30);
        files << sparse << good[1];
        addFiles(files);
        const QString out = dataPath(QStringLiteral("out"));
        QVERIFY(QDir().mkpath(out));
        m_dialogs->expectSave(out + QStringLiteral("/P"));
        for (int i = 0; i < hostile; ++i)
            m_dialogs->expectQuestion(true);
        m_dialogs->expectMessage();
        QTest::mouseClick(cmain()->Btn_Convert, Qt::LeftButton);
        QStringList expected;
        for (int i = 1; i <= hostile; ++i)
            expected << QStringLiteral("Error! Cannot open  %1  Continue?").arg(files[i]);
        QCOMPARE(questions(), expected);
        QCOMPARE(lastText(Kind::Message), QStringLiteral("3 file(s) has been converted successfully!!"));
        QCOMPARE(
            QDir(out).entryList(QDir::Files | QDir::Hidden, QDir::Name),
            QStringList({QStringLiteral("P-H-sparse.csv"), QStringLiteral("P-H1.csv"), QStringLiteral("P-H2.csv")}));
    }

    void settingsFileThatIsAFolderIsReportedAndLeftAlone()
    {
        QVERIFY(QDir().mkpath(iniPath()));
        put(iniPath() + QStringLiteral("/keep"), "something of the user's");
        m_dialogs->expectError();
        startWindows();
        QCOMPARE(lastText(Kind::Error), QStringLiteral("Unable to write to ") + iniPath());
        QCOMPARE(m_dialogs->last(Kind::Error)->title, QStringLiteral("Quorvex Dravel"));

        // The program goes on; every command that writes a setting says so again.
        const QStringList files = samples(1);
        m_dialogs->expectOpen(files);
        m_dialogs->expectError();
        QTest::mouseClick(cmain()->Btn_AddToList, Qt::LeftButton);
        QCOMPARE(lastText(Kind::Error), QStringLiteral("Unable to write to ") + iniPath());
        QVERIFY(cmain()->isVisible());
        QCOMPARE(QDir(iniPath()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList({QStringLiteral("keep")}));
        QCOMPARE(contents(iniPath() + QStringLiteral("/keep")), QByteArray("something of the user's"));
    }

    void readOnlySettingsFileIsReportedAndKeptAsItWas()
    {
        const QByteArray before = "[XLBCONVTR]\r\nLAST LOAD DIR=/media/stick\r\n";
        put(iniPath(), before);
        QVERIFY(QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        m_dialogs->expectError();
        startWindows();
        QCOMPARE(lastText(Kind::Error), QStringLiteral("Unable to write to ") + iniPath());
        QCOMPARE(QString::fromStdString(settings().lastLoadDir), QStringLiteral("/media/stick"));
        QCOMPARE(contents(iniPath()), before);
        expectNoTemporaries();
    }

    void settingsFileOfNonsenseStartsWithTheDefaultsOrSaysWhatIsWrong_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("error");
        // The start of an executable, with NUL bytes, a stray "=" and a CR LF.
        QTest::newRow("binary") << QByteArray::fromHex("7f454c460201010000003dfffe0d0a003b23") << QString();
        QTest::newRow("interval in words")
            << QByteArray("[XLBCONVTR]\nLAST LOAD DIR=/a\nLAST SAVE DIR=/b\nAS READ DIR=/c\nAS SAVE DIR=/d\n"
                          "AS INTERVAL=every 5 min\nAS PREFIX=Line3\n")
            << QStringLiteral("'every 5 min' is not a valid integer value");
        QTest::newRow("interval too large")
            << QByteArray("[XLBCONVTR]\nLAST LOAD DIR=/a\nLAST SAVE DIR=/b\nAS READ DIR=/c\nAS SAVE DIR=/d\n"
                          "AS INTERVAL=99999999999\n")
            << QStringLiteral("'99999999999' is not a valid integer value");
    }

    void settingsFileOfNonsenseStartsWithTheDefaultsOrSaysWhatIsWrong()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, error);
        put(iniPath(), text);
        if (!error.isEmpty())
            m_dialogs->expectError();
        startWindows();
        if (error.isEmpty()) {
            QVERIFY(!m_dialogs->last(Kind::Error));
            QVERIFY(contents(iniPath()).startsWith(text));
            QCOMPARE(QString::fromStdString(settings().lastLoadDir), QDir::currentPath());
        } else {
            QCOMPARE(lastText(Kind::Error), error);
            QCOMPARE(contents(iniPath()), text);
        }
        // The window works: a conversion goes through, and the interval was never guessed.
        QCOMPARE(settings().asInterval, 0);
        addFiles(samples(1));
        m_dialogs->expectSave(m_data->path() + QStringLiteral("/No Prefix"));
        m_dialogs->expectMessage();
        QTest::mouseClick(cmain()->Btn_Convert, Qt::LeftButton);
        QCOMPARE(lastText(Kind::Message), QStringLiteral("1 file(s) has been converted successfully!!"));
        expectNoTemporaries();
    }
};

QTEST_MAIN(FaultsMainWindowTest)
#include "tst_faults_mainwindow.moc"
