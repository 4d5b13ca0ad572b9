#include "ui/FixedLayout.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

void setCaption(QWidget& control, const char* text)
{
    const QString caption = QString::fromLatin1(text);
    if (auto* label = qobject_cast<QLabel*>(&control))
        label->setText(caption);
    else if (auto* button = qobject_cast<QAbstractButton*>(&control))
        button->setText(caption);
    else if (auto* group = qobject_cast<QGroupBox*>(&control))
        group->setTitle(caption);
    else if (auto* edit = qobject_cast<QLineEdit*>(&control))
        edit->setText(caption);
}

void applyLayout(Anchors& anchors, QWidget& client, std::span<const Placement> layout)
{
    for (const Placement& p : layout) {
        auto* w = client.findChild<QWidget*>(QLatin1String(p.name), Qt::FindDirectChildrenOnly);
        Q_ASSERT_X(w, "applyLayout", p.name); // a table naming a control the window never made
        if (!w)
            continue;
        if (p.text)
            setCaption(*w, p.text);
        anchors.place(w, p.designed, p.anchors);
    }
}

void placeFixed(QWidget& root, std::span<const Placement> layout)
{
    for (const Placement& p : layout) {
        auto* w = root.findChild<QWidget*>(QLatin1String(p.name));
        Q_ASSERT_X(w, "placeFixed", p.name); // a table naming a control the window never made
        if (!w)
            continue;
        w->setGeometry(p.designed);
        if (p.text)
            setCaption(*w, p.text);
    }
}
