// File > Save Bitmap of the signature display: the dialog, the BMP file and
// what it shows, and the chart's colours afterwards.
#include "WaveFixture.h"
#include "chart/ExportColours.h"
#include "chart/SignatureChart.h"
#include "display/TWaveFrm.h"
#include "samplegen/SampleSignature.h"
#include "ui/DialogService.h"
#include "ui/QtDialogService.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QMessageBox>
#include <QScopeGuard>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace {

using pixels::coloured;
using pixels::near;
using pixels::nearWhite;

using Kind = ScriptedDialogs::Kind;

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Pixels of about this colour whose four neighbours have it too: the inside
// of a filled legend swatch. A curve one pixel wide has none.
int solidPixels(const QImage& image, QColor colour, QRect area = {})
{
    area = area.isNull() ? image.rect() : area.intersected(image.rect());
    int n = 0;
    for (int y = std::max(area.top(), 1); y < std::min(area.bottom() + 1, image.height() - 1); ++y)
        for (int x = std::max(area.left(), 1); x < std::min(area.right() + 1, image.width() - 1); ++x)
            n += near(image.pixel(x, y), colour) && near(image.pixel(x - 1, y), colour) &&
                 near(image.pixel(x + 1, y), colour) && near(image.pixel(x, y - 1), colour) &&
                 near(image.pixel(x, y + 1), colour);
    return n;
}

// How much of colour is on white above the line y: the curve's length times
// its width, in pixels. An antialiased pixel counts by how far it lies from
// white toward colour; pixels of any other colour do not count.
double ink(const QImage& image, QColor colour, int below)
{
    const double dr = 255 - colour.red(), dg = 255 - colour.green(), db = 255 - colour.blue();
    const double full = dr * dr + dg * dg + db * db;
    double total = 0;
    for (int y = 0; y < below; ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const double pr = 255 - qRed(p), pg = 255 - qGreen(p), pb = 255 - qBlue(p);
            const double a = (pr * dr + pg * dg + pb * db) / full;
            if (a > 0 && std::hypot(pr - a * dr, pg - a * dg, pb - a * db) < 12)
                total += std::min(a, 1.0);
        }
    return total;
}

} // namespace

class WaveExportTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<WaveFixture> m_f;

    QImage save(const QString& name)
    {
        m_f->dialogs->expectSave(m_f->path(name));
        m_f->wave->Save1->trigger();
        return QImage(m_f->path(name), "BMP");
    }

private slots:
    void init() { m_f = std::make_unique<WaveFixture>(); }
    void cleanup()
    {
        QVERIFY2(m_f->dialogs->unexpected.isEmpty(), qPrintable(m_f->dialogs->problems()));
        QVERIFY2(m_f->dialogs->allAnswered(), qPrintable(m_f->dialogs->problems()));
        m_f.reset();
    }

    void dialogOffersWaveBmpAndTheFileIsABitmapWhateverItsName()
    {
        QVERIFY(m_f->view({makeSampleSignature(0)}));
        QFile old(m_f->path(QStringLiteral("old.png")));
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
        old.close();
        for (const QString& name : {QStringLiteral("chart"), QStringLiteral("old.png")}) {
            const QImage image = save(name);
            const ScriptedDialogs::Call* call = m_f->dialogs->last(Kind::Save);
            QCOMPARE(call->fileName, QStringLiteral("Wave.bmp"));
            QVERIFY(call->title.isEmpty() && call->directory.isEmpty());
            // The dialog lists bitmaps and every file, and asks before replacing one.
            QCOMPARE(dialogNameFilters(call->filter),
                     QStringList({QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("All files (*)")}));
            QVERIFY(call->overwrite == DialogService::Overwrite::Ask);
            QVERIFY(contents(m_f->path(name)).startsWith("BM"));
            QCOMPARE(image.size(), QSize(790, 522));
        }

        // Cancelled: nothing is written, not even Wave.bmp.
        const QStringList before = QDir(m_f->path({})).entryList(QDir::AllEntries | QDir::Hidden);
        m_f->dialogs->expectSave(QString());
        m_f->wave->Save1->trigger();
        QCOMPARE(QDir(m_f->path({})).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

    // The dialog a user sees: it offers Wave.bmp, lists bitmaps, and asks
    // before it lets an existing file be replaced.
    void realDialogListsBitmapsAndAsksBeforeReplacing()
    {
        QVERIFY(m_f->view({makeSampleSignature(0)}));
        const QString kept = m_f->path(QStringLiteral("kept.bmp"));
        QFile f(kept);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("keep") == 4);
        f.close();
        const ScopedDialogs real{std::make_unique<QtDialogService>()};

        // Chooses kept.bmp in the open dialog and answers the question about
        // replacing it; every dialog is closed whatever it showed.
        struct Seen
        {
            QStringList filters;
            QString offered;
            QString question;
        };
        auto choose = [&](bool replace) {
            Seen seen;
            QTimer::singleShot(0, m_f->wave, [&] {
                auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                seen.filters = dialog->nameFilters();
                const QStringList selected = dialog->selectedFiles();
                seen.offered = selected.isEmpty() ? QString() : QFileInfo(selected.first()).fileName();
                QTimer::singleShot(0, dialog, [&] {
                    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                        seen.question = box->text();
                        box->button(replace ? QMessageBox::Yes : QMessageBox::No)->click();
                    }
                });
                dialog->selectFile(kept);
                static_cast<QDialog*>(dialog)->accept(); // as the Save button does
                if (dialog->isVisible())
                    dialog->reject();
            });
            m_f->wave->Save1->trigger();
            return seen;
        };

        Seen seen = choose(false);
        QCOMPARE(seen.filters, QStringList({QStringLiteral("Bitmap (*.bmp)"), QStringLiteral("All files (*)")}));
        QCOMPARE(seen.offered, QStringLiteral("Wave.bmp"));
        QVERIFY2(seen.question.contains(QLatin1String("kept.bmp")), qPrintable(seen.question));
        QCOMPARE(contents(kept), QByteArray("keep"));

        seen = choose(true);
        QVERIFY(!seen.question.isEmpty());
        QVERIFY(contents(kept).startsWith("BM"));
    }

    // Wave 3's first channel, white on the black screen, is dark on paper: its
    // curve and its legend box can be seen, and where it crosses the curves of
    // waves 1 and 2, drawn before it, it no longer cuts white gaps into them.
    void whiteCurveShowsOnPaperWithoutCuttingTheOthers()
    {
        QVERIFY(m_f->view({makeSampleSignature(0), makeSampleSignature(1), makeSampleSignature(2)}));
        const int white = SignatureChart::seriesIndex(3, 1);
        QCOMPARE(SignatureChart::seriesColour(white), QColor(Qt::white));
        // Wave 3's other channels, drawn after it, would hide much of it.
        m_f->keepOnly({0, 1, 2, 3, 4, 5, 6, 7, white});
        const QColor paperColour = SignatureChart::paperColour(white);
        const QImage paper = save(QStringLiteral("three.bmp"));
        QCOMPARE(paper.pixel(0, 0), qRgb(255, 255, 255));
        // The same chart with that one curve not drawn (an invisible curve
        // keeps the legend and the axes exactly as they are).
        QLineSeries* curve = m_f->chart()->series(white);
        curve->setOpacity(0);
        const QImage without = save(QStringLiteral("without.bmp"));
        curve->setOpacity(1);

        const QRect plot = m_f->chart()->chart()->plotArea().toRect();
        int curvePixels = 0, gaps = 0;
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left(); x <= plot.right(); ++x) {
                const QRgb p = paper.pixel(x, y), q = without.pixel(x, y);
                curvePixels += p != q && near(p, paperColour);
                gaps += coloured(q) && nearWhite(p);
            }
        // The curve runs across the whole plot.
        QVERIFY2(curvePixels > plot.width() / 2, qPrintable(QString::number(curvePixels)));
        QCOMPARE(gaps, 0);
        // The sample curves do cross: the earlier curves have pixels under it.
        int covered = 0;
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left(); x <= plot.right(); ++x)
                covered += coloured(without.pixel(x, y)) && near(paper.pixel(x, y), paperColour);
        QVERIFY2(covered > 0, "no crossing to look at");

        // Its legend box is filled with the paper colour (the legend's texts
        // are too thin to have solid pixels of it).
        const QRect legend = m_f->chart()->chart()->legend()->geometry().toRect();
        QVERIFY(solidPixels(paper, paperColour, legend) >= 4);
    }

    void legendAndBoldLinesAsOnScreen()
    {
        QVERIFY(m_f->view({makeSampleSignature(0)}));
        m_f->keepOnly({0});
        // Yellow on screen, a dark gold on paper.
        QCOMPARE(SignatureChart::seriesColour(0), QColor(Qt::yellow));
        const QColor gold = SignatureChart::paperColour(0);
        // The legend as it is now: the swatch of the one curve shown, none of those just hidden.
        const QImage legend = save(QStringLiteral("legend.bmp"));
        QVERIFY(solidPixels(legend, gold) >= 4);
        QCOMPARE(solidPixels(legend, SignatureChart::paperColour(1)), 0);
        QCOMPARE(solidPixels(legend, SignatureChart::seriesColour(0)), 0);

        m_f->wave->HideLegend1->trigger();
        const QImage plain = save(QStringLiteral("plain.bmp"));
        QCOMPARE(solidPixels(plain, gold), 0);
        m_f->wave->Bold1->trigger();
        const QImage bold = save(QStringLiteral("bold.bmp"));
        // Measured on the stroke itself: the flat ends lie on the grid's zero line.
        const int zero = int(m_f->chart()->chart()->mapToPosition({180, 0}, m_f->chart()->series(0)).y()) - 4;
        const double ratio = ink(bold, gold, zero) / ink(plain, gold, zero);
        QVERIFY2(ink(plain, gold, zero) > 200, qPrintable(QString::number(ink(plain, gold, zero))));
        QVERIFY2(ratio > 1.8 && ratio < 2.2, qPrintable(QString::number(ratio)));
    }

    void chartColoursComeBackAfterSuccessAndFailure()
    {
        QVERIFY(m_f->view({makeSampleSignature(0)}));
        // Whatever the chart shows before is what it shows after.
        ExportColours odd = m_f->chart()->exportColours();
        odd.background = QColor(10, 20, 30);
        odd.legendText = Qt::yellow;
        odd.series[8] = QColor(200, 100, 50);
        m_f->chart()->setExportColours(odd);
        QCOMPARE(save(QStringLiteral("ok.bmp")).pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(m_f->chart()->exportColours(), odd);

        // A file that cannot be replaced stays as it was.
        const QString kept = m_f->path(QStringLiteral("kept.bmp"));
        QFile f(kept);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("keep") == 4);
        f.close();
        QVERIFY(f.setPermissions(QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
        const QStringList before = QDir(m_f->path({})).entryList(QDir::AllEntries | QDir::Hidden);
        for (const QString& target : {kept, m_f->path(QStringLiteral("no/such/dir.bmp"))}) {
            m_f->dialogs->expectSave(target);
            m_f->dialogs->expectError();
            m_f->wave->Save1->trigger();
            QCOMPARE(m_f->dialogs->last(Kind::Error)->text, QStringLiteral("Cannot create file ") + target);
            QCOMPARE(m_f->chart()->exportColours(), odd);
        }
        QCOMPARE(contents(kept), QByteArray("keep"));
        QCOMPARE(QDir(m_f->path({})).entryList(QDir::AllEntries | QDir::Hidden), before);
    }
};

QTEST_MAIN(WaveExportTest)
#include "tst_waveexport.moc"
