#pragma once

#include "ui/FixedLayout.h"

#include <QDialog>

class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;

// Asks for the title printed on top of a printout. One instance lives for the
// whole run, so the edit offers the title typed last time; the printout reads
// the edit directly, however the dialog was closed.
class TFm_TitleEnter : public QDialog
{
    Q_OBJECT
public:
    static constexpr QSize ClientSize{424, 141};
    // Longest title that can be typed; longer ones would run off the page.
    static constexpr int TitleRoom = 50;
    // The controls at their designed places, each within its own parent. The
    // two captions on one line run up to the next control: Label2 starts at
    // x 210 and the bevel ends at 413; their type shrinks to fit that room.
    static constexpr Placement Layout[] = {
        {"Panel1", {0, 0, 424, 141}, Anchors::TopLeft},
        {"Bevel1", {13, 12, 400, 70}, Anchors::TopLeft},
        {"Label1", {36, 21, 210 - 4 - 36, 16}, Anchors::TopLeft, "Please Enter Print Title"},
        {"Label2", {210, 23, 413 - 3 - 210, 14}, Anchors::TopLeft, "(This will show on top of the print out.)"},
        {"Button1", {175, 99, 75, 25}, Anchors::TopLeft, "Ok"},
        {"Ed_PrtTitle", {36, 42, 355, 24}, Anchors::TopLeft, "XLB Dravel"},
    };

    explicit TFm_TitleEnter(QWidget* owner);

    // Controls, named as the rest of the program refers to them.
    QFrame* Panel1 = nullptr;
    QFrame* Bevel1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Ed_PrtTitle = nullptr;
    QPushButton* Button1 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
};
