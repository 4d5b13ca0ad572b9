#include "ui/FixedLayout.h"

#include <QAbstractButton>
#include <QLabel>
#include <QWidget>

void applyLayout(Anchors& anchors, QWidget& client, std::span<const Placement> layout)
{
    for (const Placement& p : layout) {
        auto* w = client.findChild<QWidget*>(QLatin1String(p.name), Qt::FindDirectChildrenOnly);
        Q_ASSERT_X(w, "applyLayout", p.name); // a table naming a control the window never made
        if (!w)
            continue;
        if (p.text) {
            if (auto* label = qobject_cast<QLabel*>(w))
                label->setText(QString::fromLatin1(p.text));
            else if (auto* button = qobject_cast<QAbstractButton*>(w))
                button->setText(QString::fromLatin1(p.text));
        }
        anchors.place(w, p.designed, p.anchors);
    }
}
