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
// designed geometry and keeps it anchored from now on; its caption is set
// from the table. Controls the table does not name are left alone.
void applyLayout(Anchors& anchors, QWidget& client, std::span<const Placement> layout);

// For a window of fixed size: places every control of layout, found by its
// name anywhere under root, at its geometry within its own parent (a control
// inside a group box by the group box's corner), and sets its caption. The
// anchors of such a table are all TopLeft: nothing moves.
void placeFixed(QWidget& root, std::span<const Placement> layout);

// The caption of a label, button or group box, or the text of an edit.
void setCaption(QWidget& control, const char* text);
