// File > Save Bitmap of the signature display: the dialog, the BMP file and
// what it shows, and the chart's colours afterwards.
#include "ExportColours.h"
#include "SampleSignature.h"
#include "SignatureChart.h"
#include "TWaveFrm.h"
#include "WaveFixture.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineSeries>
#include <QTest>

namespace {

using Kind = ScriptedDialogs::Kind;

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool near(QRgb pixel, QColor colour)
{
    return std::abs(qRed(pixel) - colour.red()) + std::abs(qGreen(pixel) - colour.green()) +
               std::abs(qBlue(pixel) - colour.blue()) <
           60;
}

// Pixels of about this colour whose four neighbours have it too: the inside
// of a filled legend swatch. A curve one pixel wide has none.
int solidPixels(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 1; y < image.height() - 1; ++y)
        for (int x = 1; x < image.width() - 1; ++x)
            n += near(image.pixel(x, y), colour) && near(image.pixel(x - 1, y), colour) &&
                 near(image.pixel(x + 1, y), colour) && near(image.pixel(x, y - 1), colour) &&
                 near(image.pixel(x, y + 1), colour);
    return n;
}

// How much yellow is on white above the line y: the curve's length times its
// width, in pixels.
double yellowInk(const QImage& image, int below)
{
    double ink = 0;
    for (int y = 0; y < below; ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QRgb p = image.pixel(x, y); qRed(p) >= 250 && qGreen(p) >= 250)
                ink += (255 - qBlue(p)) / 255.0;
    return ink;
}

int pixelsNear(const QImage& image, QColor colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += near(image.pixel(x, y), colour);
    return n;
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
            QVERIFY(call->title.isEmpty() && call->directory.isEmpty() && call->filter.isEmpty());
            QVERIFY(contents(m_f->path(name)).startsWith("BM"));
            QCOMPARE(image.size(), QSize(790, 522));
        }

        // Cancelled: nothing is written, not even Wave.bmp.
        const QStringList before = QDir(m_f->path({})).entryList(QDir::AllEntries | QDir::Hidden);
        m_f->dialogs->expectSave(QString());
        m_f->wave->Save1->trigger();
        QCOMPARE(QDir(m_f->path({})).entryList(QDir::AllEntries | QDir::Hidden), before);
    }

    void whiteCurveVanishesOnPaper()
    {
        QVERIFY(m_f->view({makeSampleSignature(0), makeSampleSignature(1), makeSampleSignature(2)}));
        const int white = SignatureChart::seriesIndex(3, 1);
        QCOMPARE(SignatureChart::seriesColour(white), QColor(Qt::white));
        m_f->keepOnly({white});
        const QImage paper = save(QStringLiteral("white.bmp"));
        QCOMPARE(paper.pixel(0, 0), qRgb(255, 255, 255));
        QCOMPARE(paper.pixel(789, 521), qRgb(255, 255, 255));
        QVERIFY(pixelsNear(paper, Qt::black) > 500); // the axes and their texts

        // The curve's pixels are the bright ones of the plot on screen; on
        // paper they are white, except where the grid lies under the curve.
        const QImage screen = m_f->chart()->grab().toImage();
        QLineSeries* curve = m_f->chart()->series(white);
        const QPen pen = curve->pen();
        curve->setPen(QPen(Qt::transparent));
        const QImage grid = save(QStringLiteral("grid.bmp"));
        curve->setPen(pen);
        const QRect plot = m_f->chart()->chart()->plotArea().toRect();
        int curvePixels = 0, whitePixels = 0;
        for (int y = plot.top(); y <= plot.bottom(); ++y)
            for (int x = plot.left(); x <= plot.right(); ++x)
                if (qGray(screen.pixel(x, y)) > 200 && grid.pixel(x, y) == qRgb(255, 255, 255)) {
                    ++curvePixels;
                    whitePixels += paper.pixel(x, y) == qRgb(255, 255, 255);
                }
        QVERIFY2(curvePixels > 300, qPrintable(QString::number(curvePixels)));
        QVERIFY2(whitePixels > 0.97 * curvePixels,
                 qPrintable(QStringLiteral("%1 of %2").arg(whitePixels).arg(curvePixels)));
    }

    void legendAndBoldLinesAsOnScreen()
    {
        QVERIFY(m_f->view({makeSampleSignature(0)}));
        m_f->keepOnly({0});
        const QColor yellow = SignatureChart::seriesColour(0);
        QCOMPARE(yellow, QColor(Qt::yellow));
        // The legend as it is now: the swatch of the one curve shown, none of those just hidden.
        const QImage legend = save(QStringLiteral("legend.bmp"));
        QVERIFY(solidPixels(legend, yellow) >= 4);
        QCOMPARE(solidPixels(legend, SignatureChart::seriesColour(1)), 0);

        m_f->wave->HideLegend1->trigger();
        const QImage plain = save(QStringLiteral("plain.bmp"));
        QCOMPARE(solidPixels(plain, yellow), 0);
        m_f->wave->Bold1->trigger();
        const QImage bold = save(QStringLiteral("bold.bmp"));
        // Measured on the stroke itself: the flat ends lie on the grid's zero line.
        const int zero = int(m_f->chart()->chart()->mapToPosition({180, 0}, m_f->chart()->series(0)).y()) - 4;
        const double ratio = yellowInk(bold, zero) / yellowInk(plain, zero);
        QVERIFY2(ratio > 1.8 && ratio < 2.2, qPrintable(QString::number(ratio)));
    }

    void chartColoursComeBackAfterSuccessAndFailure()
    {
        QVERIFY(m_f->view({makeSampleSignature(0)}));
        // Whatever the chart shows before is what it shows after.
        ExportColours odd = m_f->chart()->exportColours();
        odd.background = QColor(10, 20, 30);
        odd.legendText = Qt::yellow;
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
