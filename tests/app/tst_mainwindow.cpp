// Drives the real main window through its widgets, with scripted dialogs.
#include "LayoutChecks.h"
#include "MainWindowTestBase.h"
#include "ScriptedDialogs.h"
#include "app/Program.h"
#include "app/TFm_Cmain.h"
#include "display/TFm_TitleEnter.h"
#include "display/TWaveFrm.h"
#include "display/WaveView.h"
#include "samplegen/SampleSignature.h"
#include "schedule/TFm_ASSetup.h"
#include "settings/ConverterSettings.h"
#include "ui/FontFit.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QFile>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using Kind = ScriptedDialogs::Kind;

// Counts how often a widget was shown and hidden.
class ShowCounter : public QObject
{
public:
    explicit ShowCounter(QWidget* w) { w->installEventFilter(this); }
    int shows = 0;
    int hides = 0;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        shows += e->type() == QEvent::Show;
        hides += e->type() == QEvent::Hide;
        return false;
    }
};

class MainWindowTest : public MainWindowTestBase
{
    Q_OBJECT

    QString iniText() const
    {
        QFile f(iniPath());
        return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QString();
    }

    // Writes synthetic signature files named names into the data folder.
    QStringList samples(const QStringList& names)
    {
        QStringList paths;
        for (int i = 0; i < names.size(); ++i) {
            const SignatureRecord r = makeSampleSignature(static_cast<std::uint32_t>(i));
            QFile f(dataPath(names[i]));
            f.open(QIODevice::WriteOnly);
            f.write(reinterpret_cast<const char*>(r.bytes.data()), static_cast<qint64>(r.bytes.size()));
            paths << f.fileName();
        }
        return paths;
    }

    void select(std::initializer_list<int> rows)
    {
        cmain()->ListBox1->clearSelection();
        for (int r : rows)
            cmain()->ListBox1->item(r)->setSelected(true);
    }

    // Runs a conversion into dir with the given prefix, answering the final box.
    void convert(QPushButton* button, const QString& dir, const QString& prefix)
    {
        m_dialogs->expectSave(dir + QLatin1Char('/') + prefix);
        m_dialogs->expectMessage();
        QTest::mouseClick(button, Qt::LeftButton);
    }

    QString resultText() const
    {
        const auto* c = m_dialogs->last(Kind::Message);
        return c ? c->text : QString();
    }

private slots:
    void init()
    {
        setUpFolders();
        startWindows();
    }

    void cleanup() { tearDown(); }

    void startsWithItsWindowsLayoutAndSettings()
    {
        QCOMPARE(cmain()->windowTitle(), QStringLiteral("Quorvex Dravel for QX-4082 KVT  ver 1.1.6"));
        QCOMPARE(cmain()->centralWidget()->size(), QSize(512, 360));
        QCOMPARE(m_program->Fm_ASSetup->windowTitle(), QStringLiteral("Auto Schedule Configuration"));
        QCOMPARE(m_program->WaveFrm->windowTitle(), QStringLiteral("Signature Display"));
        QCOMPARE(m_program->Fm_TitleEnter->windowTitle(), QStringLiteral("Fm_TitleEnter"));
        QVERIFY(!m_program->Fm_ASSetup->isVisible() && !m_program->WaveFrm->isVisible() &&
                !m_program->Fm_TitleEnter->isVisible());

        // The layout table is the design: every control's name, place, anchors
        // and caption, and the window shows each as the table says.
        using A = Anchors;
        const Placement designed[] = {{"Label1", {418, 2, 72, 13}, A::TopRight, "Selected file(s):"},
                                      {"Lb_Note", {497, 2, 3, 13}, A::TopRight, " "},
                                      {"ListBox1", {6, 19, 498, 298}, A::All},
                                      {"Btn_AddToList", {9, 326, 47, 25}, A::BottomLeft, "&Add"},
                                      {"Btn_Remove", {60, 326, 47, 25}, A::BottomLeft, "&Remove"},
                                      {"Btn_Clear", {110, 326, 47, 25}, A::BottomLeft, "Clear"},
                                      {"Btn_View", {249, 326, 69, 25}, A::BottomRight, "&View"},
                                      {"Btn_ConvertSelected", {338, 326, 64, 25}, A::BottomRight, "Convert"},
                                      {"Btn_Convert", {413, 326, 70, 25}, A::BottomRight, "&Convert All"},
                                      {"Pn_Convert", {123, 62, 124, 52}, A::TopLeft},
                                      {"Pn_ASMsg", {298, 20, 205, 196}, A::TopRight},
                                      {"FileListBox1", {429, 80, 94, 196}, A::TopLeft}};
        QCOMPARE(std::size(TFm_Cmain::Layout), std::size(designed));
        for (std::size_t i = 0; i < std::size(designed); ++i) {
            const Placement& table = TFm_Cmain::Layout[i];
            const Placement& want = designed[i];
            QCOMPARE(QLatin1String(table.name), QLatin1String(want.name));
            QCOMPARE(table.designed, want.designed);
            QCOMPARE(table.anchors, want.anchors);
            QCOMPARE(QLatin1String(table.text), QLatin1String(want.text));
            auto* w = cmain()->centralWidget()->findChild<QWidget*>(QLatin1String(want.name));
            QVERIFY2(w, want.name);
            QCOMPARE(w->geometry(), want.designed);
            if (want.text) {
                const auto* label = qobject_cast<QLabel*>(w);
                const auto* button = qobject_cast<QPushButton*>(w);
                QCOMPARE(label ? label->text() : button->text(), QLatin1String(want.text));
            }
        }
        QVERIFY(!cmain()->Pn_Convert->isVisible());
        QVERIFY(!cmain()->Pn_ASMsg->isVisible());
        QVERIFY(!cmain()->FileListBox1->isVisible());
        QVERIFY(!cmain()->TMR_AS->isActive());
        QVERIFY(!cmain()->Schedule1->menuAction()->isVisible());
        QCOMPARE(cmain()->Schedule1->title(), QStringLiteral("&Schedule"));
        QCOMPARE(cmain()->Lb_Note->text(), QStringLiteral(" "));
        QVERIFY2(textsFit(cmain()->centralWidget()), "a caption is clipped");

        // The first start writes the six keys in load order, defaults from the current directory.
        const QString cwd = QDir::currentPath();
        QCOMPARE(iniText(), QStringLiteral("[XLBCONVTR]\nLAST LOAD DIR=%1\nLAST SAVE DIR=%1\nAS READ DIR=%1\n"
                                           "AS SAVE DIR=%1\nAS INTERVAL=0\nAS PREFIX=No Prefix\n")
                                .arg(cwd));
    }

    void addAppendsEveryFileAndCountsTheList()
    {
        const QStringList files =
            samples({QStringLiteral("H1.wav"), QStringLiteral("H2.wav"), QStringLiteral("H3.wav")});
        addFiles(files);
        QCOMPARE(cmain()->Lb_Note->text(), QStringLiteral("3 file(s) selected"));
        QCOMPARE(m_dialogs->last(Kind::Open)->title, QStringLiteral("Select File(s)"));
        QCOMPARE(m_dialogs->last(Kind::Open)->directory, QDir::currentPath());
        QCOMPARE(QString::fromStdString(settings().lastLoadDir), m_data->path());
        QVERIFY(iniText().contains(QStringLiteral("LAST LOAD DIR=") + m_data->path()));

        addFiles({files[0], files[1]}); // the same paths again are added again
        QCOMPARE(cmain()->ListBox1->count(), 5);
        QCOMPARE(cmain()->ListBox1->item(3)->text(), files[0]);
        QCOMPARE(cmain()->Lb_Note->text(), QStringLiteral("5 file(s) selected"));
        QCOMPARE(m_dialogs->last(Kind::Open)->directory, m_data->path());
        // The note and its caption do not overlap.
        QVERIFY(cmain()->Label1->geometry().right() < cmain()->Lb_Note->geometry().left());
        QVERIFY(cmain()->Lb_Note->width() >=
                cmain()->Lb_Note->fontMetrics().horizontalAdvance(cmain()->Lb_Note->text()));

        QTest::mouseClick(cmain()->Btn_Remove, Qt::LeftButton);
        QCOMPARE(cmain()->ListBox1->count(), 4);
        cmain()->ClearList1->trigger();
        QCOMPARE(cmain()->ListBox1->count(), 0);
        QCOMPARE(cmain()->Lb_Note->text(), QStringLiteral("5 file(s) selected"));

        // A cancelled dialog changes nothing.
        const QString before = iniText();
        addFiles({});
        QCOMPARE(cmain()->ListBox1->count(), 0);
        QCOMPARE(iniText(), before);
    }

    void removeDeletesOnlyTheCurrentItem()
    {
        addFiles({QStringLiteral("/a/1"), QStringLiteral("/a/2"), QStringLiteral("/a/3"), QStringLiteral("/a/4")});
        cmain()->ListBox1->setCurrentRow(2, QItemSelectionModel::NoUpdate);
        select({0, 1, 3});
        cmain()->DeleteFromList1->trigger();
        QStringList left;
        for (int i = 0; i < cmain()->ListBox1->count(); ++i)
            left << cmain()->ListBox1->item(i)->text();
        QCOMPARE(left, QStringList({QStringLiteral("/a/1"), QStringLiteral("/a/2"), QStringLiteral("/a/4")}));
        cmain()->ListBox1->clear();
        QTest::mouseClick(cmain()->Btn_Remove, Qt::LeftButton); // nothing to remove, nothing shown
    }

    void viewHandsOverAtMostFiveSelectedFiles()
    {
        addFiles({QStringLiteral("/s/0"), QStringLiteral("/s/1"), QStringLiteral("/s/2"), QStringLiteral("/s/3"),
                  QStringLiteral("/s/4"), QStringLiteral("/s/5"), QStringLiteral("/s/6"), QStringLiteral("/s/7")});
        QSignalSpy shown(m_program->WaveFrm, &QDialog::finished);
        auto closeDisplaySoon = [display = m_program->WaveFrm] { QTimer::singleShot(0, display, &QDialog::reject); };

        select({2, 6});
        closeDisplaySoon();
        QTest::mouseClick(cmain()->Btn_View, Qt::LeftButton);
        QCOMPARE(shown.count(), 1);
        QCOMPARE(m_program->view.viewFileCount, 2);
        QCOMPARE(m_program->view.viewFileNames[0], std::string("/s/2"));
        QCOMPARE(m_program->view.viewFileNames[1], std::string("/s/6"));
        QCOMPARE(m_program->view.viewFileNames[2], std::string());
        QCOMPARE(m_program->view.viewFileNames[4], std::string());

        select({0, 1, 2, 3, 4, 5, 7});
        closeDisplaySoon();
        cmain()->View1->trigger();
        QCOMPARE(shown.count(), 2);
        QCOMPARE(m_program->view.viewFileCount, 5);
        QCOMPARE(m_program->view.viewFileNames[4], std::string("/s/4"));

        // Nothing selected: nothing shown, the count stays.
        cmain()->ListBox1->clearSelection();
        QTest::mouseClick(cmain()->Btn_View, Qt::LeftButton);
        QCOMPARE(shown.count(), 2);
        QCOMPARE(m_program->view.viewFileCount, 5);

        // A double-click views that one file alone.
        select({0, 1});
        closeDisplaySoon();
        QListWidget* list = cmain()->ListBox1;
        const QPoint at = list->visualItemRect(list->item(5)).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at); // a real double-click starts as a click
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
        QCOMPARE(shown.count(), 3);
        QCOMPARE(m_program->view.viewFileCount, 1);
        QCOMPARE(m_program->view.viewFileNames[0], std::string("/s/5"));
        QCOMPARE(m_program->view.viewFileNames[1], std::string());
    }

    void resizeKeepsTheFloorAndTheAnchors()
    {
        // The floor is for the outer size: here the offscreen platform's frame
        // of 2 pixels a side stands in for a window manager's.
        const QSize frame = cmain()->frameGeometry().size() - cmain()->size();
        QVERIFY2(!frame.isEmpty(), "no frame reported: the outer size is not tested");
        cmain()->resize(300, 200);
        QCOMPARE(cmain()->frameGeometry().size(), QSize(458, 306));
        QCOMPARE(cmain()->size(), QSize(458, 306) - frame);
        const QSize client = cmain()->centralWidget()->size();
        QCOMPARE(cmain()->ListBox1->geometry(),
                 QRect(6, 19, 498 - (512 - client.width()), 298 - (360 - client.height())));
        QCOMPARE(cmain()->Btn_AddToList->geometry().topLeft(), QPoint(9, 326 - (360 - client.height())));
        QCOMPARE(cmain()->Btn_Convert->geometry().topLeft(),
                 QPoint(413 - (512 - client.width()), 326 - (360 - client.height())));
        cmain()->resize(800, 600);
        QCOMPARE(cmain()->Btn_Convert->geometry().right(), cmain()->centralWidget()->width() - 512 + 482);
        QCOMPARE(cmain()->Label1->geometry().right(), cmain()->centralWidget()->width() - 512 + 489);
    }

    // Whatever the coordinates: every control inside the client area and
    // clear of the others, except where the design lays one over another,
    // and each keeping its distances to its anchored edges at any size.
    void layoutTableKeepsItsShape()
    {
        QCOMPARE(layoutchecks::outside(TFm_Cmain::Layout, TFm_Cmain::ClientSize),
                 QStringList({QStringLiteral("FileListBox1")})); // hidden, past the right edge
        QCOMPARE(layoutchecks::overlaps(TFm_Cmain::Layout),
                 QStringList({QStringLiteral("ListBox1/Pn_Convert"), QStringLiteral("ListBox1/Pn_ASMsg"),
                              QStringLiteral("ListBox1/FileListBox1"), QStringLiteral("Pn_ASMsg/FileListBox1")}));
        QWidget* client = cmain()->centralWidget();
        for (const QSize outer : {QSize(700, 500), QSize(458, 306), QSize(1024, 380)}) {
            cmain()->resize(outer);
            const QStringList wrong = layoutchecks::anchorMismatches(TFm_Cmain::Layout, *client, TFm_Cmain::ClientSize);
            QVERIFY2(wrong.isEmpty(), qPrintable(wrong.join(QLatin1String("; "))));
        }
    }

    void listRowsKeepTheirDesignedHeight()
    {
        addFiles({QStringLiteral("/r/H0001.wav"), QStringLiteral("/r/H0002.wav"), QStringLiteral("/r/H0003.wav")});
        QListWidget* list = cmain()->ListBox1;
        auto rowHeight = [list] { return list->visualItemRect(list->item(1)).height(); };
        // The window's 11-pixel default face needs 13 pixels a line here.
        const int needed = list->fontMetrics().height();
        QCOMPARE(rowHeight(), std::max(13, needed));
        QCOMPARE(list->visualItemRect(list->item(1)).top(), rowHeight());

        // A smaller type, as the window picks where a wide default face would
        // clip a caption, keeps the designed row height.
        QFont small = list->font();
        small.setPixelSize(8);
        list->setFont(small);
        QTRY_COMPARE(rowHeight(), 13);

        // A type taller than the row gets a taller row rather than clipped paths.
        QFont large = list->font();
        large.setPixelSize(18);
        list->setFont(large);
        QTRY_VERIFY(rowHeight() > 13);
        QVERIFY(rowHeight() >= QFontMetrics(large).height());
    }

    void emptyListConversionStillSavesTheDirectory()
    {
        ShowCounter panel(cmain()->Pn_Convert);
        m_dialogs->expectSave(m_data->path() + QStringLiteral("/No Prefix"));
        m_dialogs->expectMessage();
        // The final box is shown after the panel was shown and hidden again.
        const int before = m_dialogs->calls.size();
        QTest::mouseClick(cmain()->Btn_Convert, Qt::LeftButton);
        const auto& save = m_dialogs->calls.at(before);
        QCOMPARE(save.title, QStringLiteral("Select a Directory to Save to"));
        QCOMPARE(save.fileName, QStringLiteral("No Prefix"));
        QCOMPARE(save.directory, QDir::currentPath());
        QCOMPARE(resultText(), QStringLiteral("0 file(s) has been converted successfully!!"));
        QCOMPARE(m_dialogs->last(Kind::Message)->title, QStringLiteral("Quorvex Dravel"));
        QVERIFY(!cmain()->Pn_Convert->isVisible());
        QCOMPARE(QString::fromStdString(settings().lastSaveDir), m_data->path());
        QVERIFY(iniText().contains(QStringLiteral("LAST SAVE DIR=") + m_data->path()));
        QCOMPARE(panel.shows, 1);
        QCOMPARE(panel.hides, 1);

        // The dialog offers the name confirmed last, in the directory saved last.
        m_dialogs->expectSave({});
        QTest::mouseClick(cmain()->Btn_ConvertSelected, Qt::LeftButton);
        QCOMPARE(m_dialogs->last(Kind::Save)->fileName, m_data->path() + QStringLiteral("/No Prefix"));
        QCOMPARE(m_dialogs->last(Kind::Save)->directory, m_data->path());
        QCOMPARE(cmain()->saveDialogFileName(), m_data->path() + QStringLiteral("/No Prefix"));
    }

    void prefixesNameTheReports()
    {
        addFiles(samples({QStringLiteral("H0001.wav"), QStringLiteral("H0002")}));
        const QString out = m_data->path() + QStringLiteral("/out");
        QDir().mkpath(out);
        for (const char* prefix : {"No Prefix", "Press7", "no prefix", "Batch.csv"}) {
            convert(cmain()->Btn_Convert, out, QLatin1String(prefix));
            QCOMPARE(resultText(), QStringLiteral("2 file(s) has been converted successfully!!"));
        }
        QCOMPARE(QDir(out).entryList(QDir::Files, QDir::Name),
                 QStringList({QStringLiteral("Batch.csv-H0001.csv"), QStringLiteral("Batch.csv-H0002.csv"),
                              QStringLiteral("H0001.csv"), QStringLiteral("H0002.csv"),
                              QStringLiteral("Press7-H0001.csv"), QStringLiteral("Press7-H0002.csv"),
                              QStringLiteral("no prefix-H0001.csv"), QStringLiteral("no prefix-H0002.csv")}));
    }

    void convertSelectedMovesTheBarToEachSelectedIndex()
    {
        QStringList names;
        for (int i = 0; i < 10; ++i)
            names << QStringLiteral("H%1.wav").arg(i);
        addFiles(samples(names));
        select({3, 7});
        QList<int> positions;
        int maximum = -1;
        connect(cmain()->ProgressBar1, &QProgressBar::valueChanged, [&](int v) {
            positions << v;
            maximum = cmain()->ProgressBar1->maximum();
        });
        convert(cmain()->Btn_ConvertSelected, m_data->path(), QStringLiteral("Sel"));
        QCOMPARE(maximum, 10);
        QCOMPARE(positions, QList<int>({3, 7}));
        QCOMPARE(resultText(), QStringLiteral("2 file(s) has been converted successfully!!"));
        QCOMPARE(QDir(m_data->path()).entryList({QStringLiteral("Sel-*")}),
                 QStringList({QStringLiteral("Sel-H3.csv"), QStringLiteral("Sel-H7.csv")}));
    }

    void unreadableFileAsksWhetherToGoOn_data()
    {
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<int>("converted");
        QTest::newRow("OK") << true << 2;
        QTest::newRow("Cancel") << false << 1;
    }

    void unreadableFileAsksWhetherToGoOn()
    {
        QFETCH(bool, goOn);
        QFETCH(int, converted);
        QStringList files = samples({QStringLiteral("H1.wav"), QStringLiteral("H2.wav"), QStringLiteral("H3.wav")});
        files[1] = dataPath(QStringLiteral("gone.wav"));
        addFiles(files);
        m_dialogs->expectSave(m_data->path() + QStringLiteral("/No Prefix"));
        m_dialogs->expectQuestion(goOn);
        m_dialogs->expectMessage();
        QTest::mouseClick(cmain()->Btn_Convert, Qt::LeftButton);
        const auto* q = m_dialogs->last(Kind::Question);
        QVERIFY(q);
        QCOMPARE(q->text, QStringLiteral("Error! Cannot open  %1  Continue?").arg(files[1]));
        QCOMPARE(q->title, QStringLiteral("Converting"));
        QCOMPARE(resultText(), QStringLiteral("%1 file(s) has been converted successfully!!").arg(converted));
        QCOMPARE(QFile::exists(dataPath(QStringLiteral("H3.csv"))), goOn);
    }

    void reportThatCannotBeCreatedAsks()
    {
        addFiles(samples({QStringLiteral("H1.wav")}));
        const QString missing = m_data->path() + QStringLiteral("/missing");
        m_dialogs->expectSave(missing + QStringLiteral("/P"));
        m_dialogs->expectQuestion(true);
        m_dialogs->expectMessage();
        QTest::mouseClick(cmain()->Btn_Convert, Qt::LeftButton);
        QCOMPARE(m_dialogs->last(Kind::Question)->text,
                 QStringLiteral("Error! Cannot create  %1/P-H1.csv  Continue?").arg(missing));
        QCOMPARE(resultText(), QStringLiteral("0 file(s) has been converted successfully!!"));
    }

    void settingsWriteFailureStopsBeforeThePanel()
    {
        addFiles(samples({QStringLiteral("H1.wav")}));
        ShowCounter panel(cmain()->Pn_Convert);
        QFile::setPermissions(iniPath(), QFile::ReadOwner | QFile::ReadGroup);
        const QString before = iniText();
        m_dialogs->expectSave(m_data->path() + QStringLiteral("/out/No Prefix"));
        m_dialogs->expectError();
        QTest::mouseClick(cmain()->Btn_Convert, Qt::LeftButton);
        QCOMPARE(m_dialogs->last(Kind::Error)->text, QStringLiteral("Unable to write to ") + iniPath());
        QCOMPARE(m_dialogs->last(Kind::Error)->title, QStringLiteral("Quorvex Dravel"));
        QVERIFY(!m_dialogs->last(Kind::Message));
        QCOMPARE(panel.shows, 0);
        QCOMPARE(QString::fromStdString(settings().lastSaveDir), m_data->path() + QStringLiteral("/out"));
        QCOMPARE(iniText(), before);

        // Add stops there too: the directory is remembered, nothing appended.
        m_dialogs->expectOpen({dataPath(QStringLiteral("H1.wav"))});
        m_dialogs->expectError();
        QTest::mouseClick(cmain()->Btn_AddToList, Qt::LeftButton);
        QCOMPARE(cmain()->ListBox1->count(), 1);
        QCOMPARE(cmain()->Lb_Note->text(), QStringLiteral("1 file(s) selected"));
    }

    void listChangedDuringABatchEndsItCleanly()
    {
        addFiles(samples(
            {QStringLiteral("H1.wav"), QStringLiteral("H2.wav"), QStringLiteral("H3.wav"), QStringLiteral("H4.wav")}));
        // Runs at the first chance the batch gives the event loop: after the first report.
        QTimer::singleShot(0, cmain()->Btn_Clear, &QPushButton::click);
        convert(cmain()->Btn_Convert, m_data->path(), QStringLiteral("L"));
        QCOMPARE(resultText(), QStringLiteral("1 file(s) has been converted successfully!!"));
        QCOMPARE(cmain()->ListBox1->count(), 0);
    }

    void droppedFilesAreAppendedAndTheRestRefused()
    {
        const QStringList files = samples({QStringLiteral("H1.wav"), QStringLiteral("H2")});
        const QString before = iniText();
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(files[1]), QUrl::fromLocalFile(m_data->path()),
                      QUrl(QStringLiteral("https://example.org/H3.wav")), QUrl::fromLocalFile(files[0])});
        QWidget* target = cmain()->ListBox1->viewport();
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &enter);
        QVERIFY(enter.isAccepted());
        m_dialogs->expectMessage();
        QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, {});
        QCoreApplication::sendEvent(target, &drop);
        QCOMPARE(cmain()->ListBox1->count(), 2);
        QCOMPARE(cmain()->ListBox1->item(0)->text(), files[1]);
        QCOMPARE(cmain()->ListBox1->item(1)->text(), files[0]);
        QCOMPARE(cmain()->Lb_Note->text(), QStringLiteral("2 file(s) selected"));
        const QString note = m_dialogs->last(Kind::Message)->text;
        QVERIFY(note.contains(QStringLiteral("https://example.org/H3.wav")));
        QVERIFY(note.contains(m_data->path()));
        QCOMPARE(iniText(), before); // remembered directories untouched
        QCOMPARE(settings().lastLoadDir, QDir::currentPath().toStdString());
    }

    void windowReportsMatchTheCommandLineConverter()
    {
        const QDir bundled(QStringLiteral(QD_SOURCE_DIR "/samples"));
        QStringList files;
        for (const QString& name : bundled.entryList(QDir::Files, QDir::Name))
            files << bundled.filePath(name);
        QVERIFY(files.size() >= 6);
        addFiles(files);
        const QString viaWindow = m_data->path() + QStringLiteral("/window");
        const QString viaTool = m_data->path() + QStringLiteral("/tool");
        QDir().mkpath(viaWindow);
        QDir().mkpath(viaTool);
        convert(cmain()->Btn_Convert, viaWindow, QStringLiteral("No Prefix"));
        QCOMPARE(resultText(), QStringLiteral("%1 file(s) has been converted successfully!!").arg(files.size()));

        QProcess tool;
        tool.start(QStringLiteral(QD_CONVERT_EXE), QStringList{QStringLiteral("-o"), viaTool} + files);
        QVERIFY(tool.waitForFinished(30000));
        QCOMPARE(tool.exitCode(), 0);
        const QStringList reports = QDir(viaTool).entryList(QDir::Files, QDir::Name);
        QCOMPARE(QDir(viaWindow).entryList(QDir::Files, QDir::Name), reports);
        for (const QString& name : reports) {
            QFile a(viaWindow + QLatin1Char('/') + name), b(viaTool + QLatin1Char('/') + name);
            QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
            QCOMPARE(a.readAll(), b.readAll());
        }
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
