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

// A label with the room up to the next control: its type shrinks from the
// designed pixel size until the whole text fits there, so the two captions on
// one line neither overlap nor run out of the bevel with a wide default face.
QLabel* fittedLabel(QWidget* parent, const char* name, const char* text, QRect room, int pixelSize, bool bold)
{
    auto* l = makeWidget<QLabel>(parent, name, room);
    l->setText(QString::fromLatin1(text));
    QFont face = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    face.setBold(bold);
    const QFont font = shrinkToFit(face, pixelSize, 7, [l, room](const QFont& f) {
        return QFontMetrics(f).horizontalAdvance(l->text()) <= room.width();
    });
    l->setFont(font);
    l->resize(room.width(), std::max(room.height(), QFontMetrics(font).height()));
    return l;
}

} // namespace

TFm_TitleEnter::TFm_TitleEnter(QWidget* owner) : QDialog(owner)
{
    setObjectName(QStringLiteral("Fm_TitleEnter"));
    setWindowTitle(QStringLiteral("Fm_TitleEnter"));
    setWindowFlag(Qt::MSWindowsFixedSizeDialogHint);
    setFixedSize(ClientSize);

    Panel1 = makeWidget<QFrame>(this, "Panel1", rect());
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setLineWidth(3);
    Bevel1 = makeWidget<QFrame>(Panel1, "Bevel1", {13, 12, 400, 70});
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);

    // Label2 starts at x 210 and the bevel ends at 413.
    Label1 = fittedLabel(Panel1, "Label1", "Please Enter Print Title", {36, 21, 210 - 4 - 36, 16}, 13, true);
    Label2 = fittedLabel(Panel1, "Label2", "(This will show on top of the print out.)", {210, 23, 413 - 3 - 210, 14},
                         11, false);

    // The button comes first in the tab order: made first, it is first in
    // the focus chain.
    Button1 = makeWidget<QPushButton>(Panel1, "Button1", {175, 99, 75, 25});
    Button1->setText(QStringLiteral("Ok"));
    // Enter in the edit confirms the title, as it does on the button.
    Button1->setDefault(true);

    Ed_PrtTitle = makeWidget<QLineEdit>(Panel1, "Ed_PrtTitle", {36, 42, 355, 24});
    Ed_PrtTitle->setMaxLength(TitleRoom);
    Ed_PrtTitle->setText(QStringLiteral("XLB Dravel"));
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
