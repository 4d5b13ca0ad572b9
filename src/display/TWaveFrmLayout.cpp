// The display window's controls and menus at their designed places.
#include "chart/SignatureChart.h"
#include "display/TWaveFrm.h"
#include "display/WaveRecords.h"
#include "ui/Anchors.h"
#include "ui/MakeWidget.h"

#include <QAction>
#include <QFrame>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A solid black triangle on a 16 x 16 glyph, pointing left or right.
QIcon triangleGlyph(bool pointsLeft)
{
    QPixmap glyph(16, 16);
    glyph.fill(Qt::transparent);
    QPainter p(&glyph);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    const QPolygonF left{{11.5, 2.5}, {11.5, 13.5}, {4.5, 8.0}};
    const QPolygonF right{{4.5, 2.5}, {4.5, 13.5}, {11.5, 8.0}};
    p.drawPolygon(pointsLeft ? left : right);
    return QIcon(glyph);
}

QPushButton* glyphButton(QWidget* parent, const char* name, bool pointsLeft, const char* accessibleName)
{
    auto* b = makeWidget<QPushButton>(parent, name);
    b->setIcon(triangleGlyph(pointsLeft));
    b->setIconSize(QSize(16, 16));
    // Icon only: screen readers and tool tips need the words.
    b->setAccessibleName(QString::fromLatin1(accessibleName));
    b->setToolTip(QString::fromLatin1(accessibleName));
    b->setAutoDefault(false); // Enter in the window must not step through the files
    return b;
}

QFont pixelFont(const QFont& base, int pixelSize, bool bold)
{
    QFont f = base;
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

} // namespace

void TWaveFrm::buildControls()
{
    // A dialog has no menu bar of its own: the layout puts ours on top and
    // gives the client area below it the designed size.
    auto* frame = new QVBoxLayout(this);
    frame->setContentsMargins(0, 0, 0, 0);
    frame->setSpacing(0);
    WaveMainMenu = makeWidget<QMenuBar>(this, "WaveMainMenu");
    frame->setMenuBar(WaveMainMenu);
    auto* client = makeWidget<QWidget>(this, "client");
    client->resize(ClientSize); // before the layout first runs, too
    frame->addWidget(client);
    m_anchors = new Anchors(client, ClientSize);

    WaveChrt = makeWidget<SignatureChart>(client, "WaveChrt");

    RecordLbl = makeWidget<QLabel>(client, "RecordLbl");
    RecordLbl->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    RecordLbl->setIndent(4);
    RecordLbl->setFont(pixelFont(font(), 13, true));

    BBtn_Prev = glyphButton(client, "BBtn_Prev", true, "Previous");
    BBtn_Next = glyphButton(client, "BBtn_Next", false, "Next");

    Pn_Printing = makeWidget<QFrame>(client, "Pn_Printing");
    Pn_Printing->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Pn_Printing->setLineWidth(2);
    Pn_Printing->setAutoFillBackground(true);
    applyLayout(*m_anchors, *client, Layout);

    Bevel8 = makeWidget<QFrame>(Pn_Printing, "Bevel8", {4, 4, 184, 53});
    Bevel8->setFrameStyle(QFrame::Box | QFrame::Sunken);
    auto* caption = makeWidget<QLabel>(Pn_Printing, "Lb_Printing");
    caption->setText(QStringLiteral("Printing..."));
    caption->setAlignment(Qt::AlignCenter);
    caption->setFont(pixelFont(font(), 12, false));
    caption->setGeometry(Pn_Printing->rect());
    Pn_Printing->hide();

    TMR_Init = makeWidget<QTimer>(this, "TMR_Init");
    TMR_Init->setInterval(1);
    TMR_Init->setSingleShot(true);
}

void TWaveFrm::buildMenus()
{
    auto menu = [this](const char* name, const char* title) {
        QMenu* m = WaveMainMenu->addMenu(QString::fromLatin1(title));
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto item = [](QMenu* m, const char* name, const char* text, bool checkable = false, bool checked = false) {
        QAction* a = m->addAction(QString::fromLatin1(text));
        a->setObjectName(QLatin1String(name));
        a->setCheckable(checkable);
        a->setChecked(checked);
        return a;
    };

    File1 = menu("File1", "File");
    Save1 = item(File1, "Save1", "&Save Bitmap");
    ExportChart1 = item(File1, "ExportChart1", "&Export Chart...");
    Print1 = item(File1, "Print1", "&Print");
    Exit1 = item(File1, "Exit1", "E&xit");

    Edit1 = menu("Edit1", "Edit");
    CopyChart1 = item(Edit1, "CopyChart1", "&Copy Chart");
    CopyChart1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));

    QMenu** waves[MaxWaves] = {&Wave1, &Wave2, &Wave3, &Wave4, &Wave5};
    QAction** channels[MaxWaves][4] = {{&W1Ch1, &W1Ch2, &W1Ch3, &W1Ch4},
                                       {&W2Ch1, &W2Ch2, &W2Ch3, &W2Ch4},
                                       {&W3Ch1, &W3Ch2, &W3Ch3, &W3Ch4},
                                       {&W4Ch1, &W4Ch2, &W4Ch3, &W4Ch4},
                                       {&W5Ch1, &W5Ch2, &W5Ch3, &W5Ch4}};
    for (int w = 0; w < MaxWaves; ++w) {
        const QByteArray name = "Wave" + QByteArray::number(w + 1);
        *waves[w] = menu(name.constData(), ("Wave " + QByteArray::number(w + 1)).constData());
        for (int c = 0; c < 4; ++c) {
            const QByteArray itemName = "W" + QByteArray::number(w + 1) + "Ch" + QByteArray::number(c + 1);
            const QByteArray text = "Channel " + QByteArray::number(c + 1);
            // The fifth wave starts with its channels unticked, the others ticked.
            *channels[w][c] = item(*waves[w], itemName.constData(), text.constData(), true, w < 4);
        }
    }

    Options1 = menu("Options1", "Options");
    Bold1 = item(Options1, "Bold1", "Show Bold", true, false);
    HideLegend1 = item(Options1, "HideLegend1", "Hide Legend", true, false);

    Goto1 = menu("Goto1", "Go to");
    Next2 = item(Goto1, "Next2", "Next");
    Previous1 = item(Goto1, "Previous1", "Previous");
}
