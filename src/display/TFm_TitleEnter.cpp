#include "display/TFm_TitleEnter.h"

#include "ui/FontFit.h"
#include "ui/MakeWidget.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

// A label whose geometry is the room up to the next control: its type shrinks
// from the designed pixel size until the whole text fits there, so the two
// captions on one line neither overlap nor run out of the bevel with a wide
// default face.
void fitLabel(QLabel* l, int pixelSize, bool bold)
{
    const QRect room = l->geometry();
    QFont face = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    face.setBold(bold);
    const QFont font = shrinkToFit(face, pixelSize, 7, [l, room](const QFont& f) {
        return QFontMetrics(f).horizontalAdvance(l->text()) <= room.width();
    });
    l->setFont(font);
    l->resize(room.width(), std::max(room.height(), QFontMetrics(font).height()));
}

} // namespace

TFm_TitleEnter::TFm_TitleEnter(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("Fm_TitleEnter"));
    setWindowTitle(QStringLiteral("Fm_TitleEnter"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientSize);

    Panel1 = makeWidget<QFrame>(this, "Panel1");
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(3);
    Bevel1 = makeWidget<QFrame>(Panel1, "Bevel1");
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Label1 = makeWidget<QLabel>(Panel1, "Label1");
    Label2 = makeWidget<QLabel>(Panel1, "Label2");
    // The button comes first in the tab order: made first, it is first in
    // the focus chain.
    Button1 = makeWidget<QPushButton>(Panel1, "Button1");
    // Enter in the edit confirms the title, as it does on the button.
    Button1->setDefault(true);
    Ed_PrtTitle = makeWidget<QLineEdit>(Panel1, "Ed_PrtTitle");
    Ed_PrtTitle->setMaxLength(TitleRoom);
    placeFixed(*this, Layout);
    fitLabel(Label1, 13, true);
    fitLabel(Label2, 11, false);
    QFont edit = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    edit.setPixelSize(13);
    Ed_PrtTitle->setFont(edit);

    setFont(fittingFont(this, 11));
    setTabOrder(Button1, Ed_PrtTitle);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
}

void TFm_TitleEnter::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // Every showing starts on the button, so Enter prints the title as it stands.
    Button1->setFocus(Qt::TabFocusReason);
}
