#pragma once

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
