#include "ui/Anchors.h"

#include <QEvent>
#include <QWidget>

Anchors::Anchors(QWidget* parent, QSize designSize) : QObject(parent), m_parent(parent), m_design(designSize)
{
    parent->installEventFilter(this);
}

void Anchors::place(QWidget* w, QRect designed, int edges)
{
    m_entries.push_back({w, designed, edges});
    apply(m_entries.back());
}

void Anchors::redesign(QWidget* w, QRect designed)
{
    for (Entry& e : m_entries)
        if (e.widget == w) {
            e.designed = designed;
            apply(e);
        }
}

QRect Anchors::designed(const QWidget* w) const
{
    for (const Entry& e : m_entries)
        if (e.widget == w)
            return e.designed;
    return {};
}

bool Anchors::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_parent && event->type() == QEvent::Resize)
        for (const Entry& e : m_entries)
            apply(e);
    return false;
}

void Anchors::apply(const Entry& e) const
{
    const int dw = m_parent->width() - m_design.width();
    const int dh = m_parent->height() - m_design.height();
    QRect r = e.designed;
    if (e.edges & Right) {
        if (e.edges & Left)
            r.setWidth(r.width() + dw);
        else
            r.moveLeft(r.left() + dw);
    }
    if (e.edges & Bottom) {
        if (e.edges & Top)
            r.setHeight(r.height() + dh);
        else
            r.moveTop(r.top() + dh);
    }
    e.widget->setGeometry(r);
}
