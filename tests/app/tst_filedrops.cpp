// The rule for what a drop on the main list brings in, without a window.
#include "app/FileDrops.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class FileDropsTest : public QObject
{
    Q_OBJECT

private slots:
    // A name with spaces, a percent sign or letters beyond ASCII arrives
    // encoded in the address; the list must get the file's real name, or the
    // batch later reports a file that does not exist.
    void encodedNamesArriveAsTheFilesRealNames()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QStringList names{QStringLiteral("H 1"), QStringLiteral("H%41"), QStringLiteral("Hä\u00e9")};
        QList<QUrl> urls;
        QStringList paths;
        for (const QString& name : names) {
            paths << dir.filePath(name);
            QFile f(paths.last());
            QVERIFY(f.open(QIODevice::WriteOnly));
            urls << QUrl(QUrl::fromLocalFile(paths.last()).toString(QUrl::FullyEncoded));
        }
        const DroppedFiles dropped = sortDroppedUrls(urls);
        QCOMPARE(dropped.files, paths);
        QVERIFY(dropped.refused.isEmpty());
    }

    // A link to a folder is refused like the folder; a link to a file is
    // listed under the name it was dropped as.
    void linksAreJudgedByWhatTheyLeadTo()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("sub")));
        QFile file(dir.filePath(QStringLiteral("H1")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();
        const QString toFolder = dir.filePath(QStringLiteral("Hfolder"));
        const QString toFile = dir.filePath(QStringLiteral("Hfile"));
        QVERIFY(QFile::link(dir.filePath(QStringLiteral("sub")), toFolder));
        QVERIFY(QFile::link(file.fileName(), toFile));

        const DroppedFiles dropped = sortDroppedUrls({QUrl::fromLocalFile(toFolder), QUrl::fromLocalFile(toFile)});
        QCOMPARE(dropped.files, QStringList{toFile});
        QCOMPARE(dropped.refused, QStringList{toFolder + QStringLiteral(" (a folder: add the files in it)")});
    }

    // Every refusal names the item and why, in the order dropped, and the
    // files keep their order around them.
    void refusalsNameTheItemAndTheReasonInOrder()
    {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString a = dir.filePath(QStringLiteral("Ha"));
        const QString b = dir.filePath(QStringLiteral("Hb"));
        const DroppedFiles dropped =
            sortDroppedUrls({QUrl::fromLocalFile(b), QUrl(QStringLiteral("sftp://host/H3.wav")),
                             QUrl::fromLocalFile(dir.path()), QUrl::fromLocalFile(a)});
        QCOMPARE(dropped.files, (QStringList{b, a}));
        QCOMPARE(dropped.refused, (QStringList{QStringLiteral("sftp://host/H3.wav (not a local file)"),
                                               dir.path() + QStringLiteral(" (a folder: add the files in it)")}));

        // A file address of another host is refused, not read as the local
        // "//server/..." (which is "/server/..."); "localhost" is this machine.
        const DroppedFiles hosts = sortDroppedUrls(
            {QUrl(QStringLiteral("file://server/H4.wav")), QUrl(QStringLiteral("file://localhost") + a)});
        QCOMPARE(hosts.files, QStringList{a});
        QCOMPARE(hosts.refused, QStringList{QStringLiteral("file://server/H4.wav (not a local file)")});
    }
};

QTEST_GUILESS_MAIN(FileDropsTest)
#include "tst_filedrops.moc"
