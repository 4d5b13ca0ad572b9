// Printing and saving the chart from a current directory the user may not
// write to (a program started from a read-only share or another user's
// folder). Print writes its picture there first; it must say so and print
// nothing, and neither command may touch what the folder holds. Root writes
// anywhere, so the whole test runs as "nobody" when started as root.
#include "WaveFixture.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "display/WavePrinter.h"
#include "samplegen/SampleSignature.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <grp.h>
#include <unistd.h>

using Kind = ScriptedDialogs::Kind;

namespace {

bool g_asNobody = true; // false when root could not be given up

// Counts the print dialogs that were opened; none may be.
class CountingPrinting : public PrintService
{
public:
    int shown = 0;
    bool printSetup(QWidget*, QPrinter&) override
    {
        ++shown;
        return false;
    }
};

} // namespace

class FaultsDisplayTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<WaveFixture> m_f;
    CountingPrinting* m_printing = nullptr;
    std::unique_ptr<ScopedPrinting> m_printingGuard;

    static QByteArray contents(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
    }
    QStringList entries() const { return QDir(m_f->path({})).entryList(QDir::AllEntries | QDir::Hidden); }

    // Shows a signature, leaves an earlier picture beside it, then takes away
    // the write permission of the current directory.
    void readOnlyCurrentDirectory()
    {
        QVERIFY(m_f->view({makeSampleSignature(0)}));
        QFile earlier(m_f->path(QStringLiteral("WaveChrt.EMF")));
        QVERIFY(earlier.open(QIODevice::WriteOnly) && earlier.write("earlier picture") == 15);
        earlier.close();
        QVERIFY(QFile::setPermissions(m_f->path({}), QFile::ReadOwner | QFile::ExeOwner));
        QCOMPARE(QDir::currentPath(), QDir(m_f->path({})).canonicalPath());
    }

private slots:
    void initTestCase()
    {
        if (!g_asNobody)
            QSKIP("root could not be given up, and permission bits do not bind root");
    }

    void init()
    {
        m_f = std::make_unique<WaveFixture>();
        m_printing = new CountingPrinting;
        m_printingGuard = std::make_unique<ScopedPrinting>(std::unique_ptr<PrintService>(m_printing));
    }

    void cleanup()
    {
        QFile::setPermissions(m_f->path({}), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const bool unexpected = !m_f->dialogs->unexpected.isEmpty();
        const bool unanswered = !m_f->dialogs->allAnswered();
        const QString problems = m_f->dialogs->problems();
        m_f.reset();
        m_printingGuard.reset();
        QVERIFY2(!unexpected, qPrintable(problems));
        QVERIFY2(!unanswered, qPrintable(problems));
    }

    void printSaysThePictureCannotBeWrittenAndPrintsNothing()
    {
        readOnlyCurrentDirectory();
        const QStringList before = entries();
        QTimer::singleShot(0, m_f->title, [this] { m_f->title->Button1->click(); });
        m_f->dialogs->expectError();
        m_f->wave->Print1->trigger();
        QCOMPARE(m_f->dialogs->last(Kind::Error)->text,
                 QStringLiteral("The chart could not be written to \"%1\" for printing: Permission denied")
                     .arg(m_f->path(QStringLiteral("WaveChrt.EMF"))));
        QCOMPARE(m_printing->shown, 0);
        QVERIFY(m_f->wave->isVisible());
        QCOMPARE(entries(), before);
        QCOMPARE(contents(m_f->path(QStringLiteral("WaveChrt.EMF"))), QByteArray("earlier picture"));
    }

    void saveBitmapSaysTheFileCannotBeCreated()
    {
        readOnlyCurrentDirectory();
        const QStringList before = entries();
        // The dialog opens in the current directory with "Wave.bmp"; the user accepts it.
        const QString target = QDir::current().filePath(QStringLiteral("Wave.bmp"));
        m_f->dialogs->expectSave(target);
        m_f->dialogs->expectError();
        m_f->wave->Save1->trigger();
        QCOMPARE(m_f->dialogs->last(Kind::Error)->text, QStringLiteral("Cannot create file ") + target);
        QCOMPARE(entries(), before);
        QVERIFY(m_f->wave->isVisible());
    }
};

int main(int argc, char** argv)
{
    // Before any thread exists, so the whole process changes user.
    if (::geteuid() == 0)
        g_asNobody = ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
    QApplication app(argc, argv);
    FaultsDisplayTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_faults_display.moc"
