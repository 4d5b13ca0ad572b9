#pragma once

#include <QObject>
#include <QRect>
#include <QSize>
#include <QVector>

class QWidget;

// Fixed-position layout in which each control keeps its distance to the edges
// of its parent it is anchored to: anchored left and right it stretches,
// anchored only right it moves with the right edge, and so on.
class Anchors : public QObject
{
public:
    enum Edge {
        Left = 1,
        Top = 2,
        Right = 4,
        Bottom = 8,
        TopLeft = Left | Top,
        TopRight = Top | Right,
        BottomLeft = Left | Bottom,
        BottomRight = Right | Bottom,
        All = Left | Top | Right | Bottom
    };

    // designSize: the parent's client size the geometries below were made for.
    Anchors(QWidget* parent, QSize designSize);

    // Places w at its designed geometry and keeps it anchored from now on.
    void place(QWidget* w, QRect designed, int edges);
    // Changes the designed geometry of w (a control sized to its text).
    void redesign(QWidget* w, QRect designed);
    QRect designed(const QWidget* w) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Entry
    {
        QWidget* widget;
        QRect designed;
        int edges;
    };
    void apply(const Entry& e) const;

    QWidget* m_parent;
    QSize m_design;
    QVector<Entry> m_entries;
};
