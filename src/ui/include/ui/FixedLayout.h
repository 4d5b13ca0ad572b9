#pragma once

#include "ui/Anchors.h"

#include <QRect>

#include <span>

class QWidget;

// One control of a window's fixed layout: its object name, its geometry in the
// client area the window was designed with, the edges it keeps its distance
// to (Anchors::Edge), and its caption (none when null).
struct Placement
{
    const char* name;
    QRect designed;
    int anchors;
    const char* text = nullptr;
};

// Places every control of layout, a child of client found by its name, at its
// designed geometry and keeps it anchored from now on; a label's or button's
// caption is set from the table. Controls the table does not name are left
// alone.
void applyLayout(Anchors& anchors, QWidget& client, std::span<const Placement> layout);
