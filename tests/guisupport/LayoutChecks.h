#pragma once

// Checks over a window's layout table (ui/FixedLayout.h) that hold whatever
// the coordinates: every control inside the client area, none over another,
// and each keeping its distances to the edges it is anchored to when the
// client area changes size. The design's own exceptions are named by the test.

#include "ui/FixedLayout.h"

#include <QLatin1String>
#include <QRect>
#include <QSet>
#include <QSize>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <span>

namespace layoutchecks {

// Names of the controls that run outside a client area of size client.
inline QStringList outside(std::span<const Placement> layout, QSize client)
{
    QStringList names;
    const QRect area(QPoint(0, 0), client);
    for (const Placement& p : layout)
        if (!area.contains(p.designed))
            names << QLatin1String(p.name);
    return names;
}

// "A/B" for every two controls that overlap, in table order.
inline QStringList overlaps(std::span<const Placement> layout)
{
    QStringList pairs;
    for (std::size_t i = 0; i < layout.size(); ++i)
        for (std::size_t j = i + 1; j < layout.size(); ++j)
            if (layout[i].designed.intersects(layout[j].designed))
                pairs << QStringLiteral("%1/%2").arg(QLatin1String(layout[i].name), QLatin1String(layout[j].name));
    return pairs;
}

// The geometry an anchored control should have in a client area grown by delta.
inline QRect anchoredAt(const Placement& p, QSize delta)
{
    QRect r = p.designed;
    if (p.anchors & Anchors::Right) {
        if (p.anchors & Anchors::Left)
            r.setWidth(r.width() + delta.width());
        else
            r.moveLeft(r.left() + delta.width());
    }
    if (p.anchors & Anchors::Bottom) {
        if (p.anchors & Anchors::Top)
            r.setHeight(r.height() + delta.height());
        else
            r.moveTop(r.top() + delta.height());
    }
    return r;
}

// "name: got (x,y w×h), expected ..." for every control of client whose
// geometry does not keep its anchored distances at the client's present size;
// skip lists controls the window moves by itself (a note sized to its text).
inline QStringList anchorMismatches(std::span<const Placement> layout, QWidget& client, QSize designSize,
                                    const QSet<QString>& skip = {})
{
    QStringList wrong;
    const QSize delta = client.size() - designSize;
    for (const Placement& p : layout) {
        if (skip.contains(QLatin1String(p.name)))
            continue;
        const auto* w = client.findChild<QWidget*>(QLatin1String(p.name), Qt::FindDirectChildrenOnly);
        const QRect want = anchoredAt(p, delta);
        if (!w || w->geometry() != want)
            wrong << QStringLiteral("%1: got (%2,%3 %4x%5), expected (%6,%7 %8x%9)")
                         .arg(QLatin1String(p.name))
                         .arg(w ? w->x() : -1)
                         .arg(w ? w->y() : -1)
                         .arg(w ? w->width() : -1)
                         .arg(w ? w->height() : -1)
                         .arg(want.x())
                         .arg(want.y())
                         .arg(want.width())
                         .arg(want.height());
    }
    return wrong;
}

// For windows of fixed size, whose tables place each control within its own
// parent: the names of the controls that run outside their parent.
inline QStringList outsideParent(std::span<const Placement> layout, QWidget& root)
{
    QStringList names;
    for (const Placement& p : layout) {
        const auto* w = root.findChild<QWidget*>(QLatin1String(p.name));
        if (!w || !QRect(QPoint(0, 0), w->parentWidget()->size()).contains(p.designed))
            names << QLatin1String(p.name);
    }
    return names;
}

// "A/B" for every two controls of one parent that overlap, in table order.
inline QStringList siblingOverlaps(std::span<const Placement> layout, QWidget& root)
{
    QStringList pairs;
    for (std::size_t i = 0; i < layout.size(); ++i)
        for (std::size_t j = i + 1; j < layout.size(); ++j) {
            const auto* a = root.findChild<QWidget*>(QLatin1String(layout[i].name));
            const auto* b = root.findChild<QWidget*>(QLatin1String(layout[j].name));
            if (a && b && a->parentWidget() == b->parentWidget() && layout[i].designed.intersects(layout[j].designed))
                pairs << QStringLiteral("%1/%2").arg(QLatin1String(layout[i].name), QLatin1String(layout[j].name));
        }
    return pairs;
}

} // namespace layoutchecks
