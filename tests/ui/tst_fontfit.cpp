// The one shrinking rule every window sets its type by.
#include "ui/FontFit.h"

#include <QLabel>
#include <QTest>
#include <QWidget>

class FontFitTest : public QObject
{
    Q_OBJECT

private slots:
    void shrinkStopsAtTheLargestSizeThatFits()
    {
        QList<int> tried;
        const QFont f = shrinkToFit(QFont(), 13, 7, [&](const QFont& font) {
            tried << font.pixelSize();
            return font.pixelSize() <= 10;
        });
        QCOMPARE(f.pixelSize(), 10);
        QCOMPARE(tried, (QList<int>{13, 12, 11, 10})); // largest first, nothing after the first fit
    }

    void shrinkSettlesAtTheSmallestWhenNothingFits()
    {
        int calls = 0;
        const QFont f = shrinkToFit(QFont(), 9, 7, [&](const QFont&) {
            ++calls;
            return false;
        });
        QCOMPARE(f.pixelSize(), 7);
        QCOMPARE(calls, 2); // 9 and 8; the smallest is taken without asking
    }

    void fittingFontNeverClipsACaption()
    {
        QWidget root;
        root.resize(200, 40);
        auto* label = new QLabel(QStringLiteral("A caption of some length"), &root);
        label->setGeometry(0, 0, 90, 20);
        const QFont f = fittingFont(&root, 13);
        QVERIFY(f.pixelSize() <= 13 && f.pixelSize() >= 7);
        root.setFont(f);
        QVERIFY(f.pixelSize() == 7 || textsFit(&root));
        // One size larger would clip it (unless already at the designed size).
        if (f.pixelSize() < 13) {
            QFont larger = f;
            larger.setPixelSize(f.pixelSize() + 1);
            root.setFont(larger);
            QVERIFY(!textsFit(&root));
        }
    }
};

QTEST_MAIN(FontFitTest)
#include "tst_fontfit.moc"
