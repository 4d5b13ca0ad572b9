#pragma once

#include "display/WaveLoad.h"
#include "ui/FixedLayout.h"

#include <QDialog>
#include <QStringList>

#include <array>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QTimer;
class FileListCursor;
class SignatureChart;
class SignatureRecord;
class TFm_TitleEnter;
class WavePrinting;
struct WaveView;

// The signature display: up to five signatures (waves) as four load curves
// each over angle, with commands to hide single channels, draw bold, hide the
// legend and step through the main window's file list.
//
// What it shows lives in a WaveView handed to it; every file is read through
// the program's shared record. Next and Previous step through the file list
// handed to it as a FileListCursor (the main window's list), so the display
// does not depend on the main window's class. Print asks for the title in the
// title dialog it is handed.
class TWaveFrm : public QDialog
{
    Q_OBJECT
public:
    // The client area below the menu bar.
    static constexpr QSize ClientSize{790, 552};
    // The client area's controls at their designed places. The arrow buttons
    // lie on the record label's line and "Printing..." over the chart, as
    // designed.
    static constexpr Placement Layout[] = {
        {"WaveChrt", {0, 30, 790, 522}, Anchors::All},
        {"RecordLbl", {0, 0, 790, 30}, Anchors::Left | Anchors::Top | Anchors::Right, "Record Label Here"},
        {"BBtn_Prev", {725, 3, 29, 24}, Anchors::TopRight},
        {"BBtn_Next", {757, 3, 29, 24}, Anchors::TopRight},
        {"Pn_Printing", {293, 217, 192, 61}, Anchors::TopLeft},
    };

    TWaveFrm(QWidget* owner, WaveView& view, SignatureRecord& reading, TFm_TitleEnter& title, FileListCursor& files);
    ~TWaveFrm() override;

    // View: shows the first five of paths, one wave each, until the user
    // closes the display.
    void showFiles(const std::vector<std::string>& paths);
    // Hands paths over as View does, without showing the window.
    void setFiles(const std::vector<std::string>& paths);

    // Controls, named as the rest of the program refers to them.
    QMenuBar* WaveMainMenu = nullptr;
    QLabel* RecordLbl = nullptr;
    SignatureChart* WaveChrt = nullptr;
    QPushButton* BBtn_Prev = nullptr;
    QPushButton* BBtn_Next = nullptr;
    QTimer* TMR_Init = nullptr;
    // "Printing..." over the chart while a page is composed; hidden otherwise.
    QFrame* Pn_Printing = nullptr;
    QFrame* Bevel8 = nullptr;

    QMenu* File1 = nullptr;
    QAction* Save1 = nullptr;
    QAction* ExportChart1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* Edit1 = nullptr;
    QAction* CopyChart1 = nullptr;
    QMenu* Wave1 = nullptr;
    QMenu* Wave2 = nullptr;
    QMenu* Wave3 = nullptr;
    QMenu* Wave4 = nullptr;
    QMenu* Wave5 = nullptr;
    QAction *W1Ch1 = nullptr, *W1Ch2 = nullptr, *W1Ch3 = nullptr, *W1Ch4 = nullptr;
    QAction *W2Ch1 = nullptr, *W2Ch2 = nullptr, *W2Ch3 = nullptr, *W2Ch4 = nullptr;
    QAction *W3Ch1 = nullptr, *W3Ch2 = nullptr, *W3Ch3 = nullptr, *W3Ch4 = nullptr;
    QAction *W4Ch1 = nullptr, *W4Ch2 = nullptr, *W4Ch3 = nullptr, *W4Ch4 = nullptr;
    QAction *W5Ch1 = nullptr, *W5Ch2 = nullptr, *W5Ch3 = nullptr, *W5Ch4 = nullptr;
    QMenu* Options1 = nullptr;
    QAction* Bold1 = nullptr;
    QAction* HideLegend1 = nullptr;
    QMenu* Goto1 = nullptr;
    QAction* Next2 = nullptr;
    QAction* Previous1 = nullptr;

    // The menu of wave (1..5) and its item of channel (1..4).
    QMenu* waveMenu(int wave) const;
    QAction* channelItem(int wave, int channel) const;

    void FormCreate();
    void FormShow();
    // The load pass: reads the files handed over by View and shows them.
    void TMR_InitTimer();

    void W1Ch1Click() { toggleChannel(1, 1); }
    void W1Ch2Click() { toggleChannel(1, 2); }
    void W1Ch3Click() { toggleChannel(1, 3); }
    void W1Ch4Click() { toggleChannel(1, 4); }
    void W2Ch1Click() { toggleChannel(2, 1); }
    void W2Ch2Click() { toggleChannel(2, 2); }
    void W2Ch3Click() { toggleChannel(2, 3); }
    void W2Ch4Click() { toggleChannel(2, 4); }
    void W3Ch1Click() { toggleChannel(3, 1); }
    void W3Ch2Click() { toggleChannel(3, 2); }
    void W3Ch3Click() { toggleChannel(3, 3); }
    void W3Ch4Click() { toggleChannel(3, 4); }
    void W4Ch1Click() { toggleChannel(4, 1); }
    void W4Ch2Click() { toggleChannel(4, 2); }
    void W4Ch3Click() { toggleChannel(4, 3); }
    void W4Ch4Click() { toggleChannel(4, 4); }
    void W5Ch1Click() { toggleChannel(5, 1); }
    void W5Ch2Click() { toggleChannel(5, 2); }
    void W5Ch3Click() { toggleChannel(5, 3); }
    void W5Ch4Click() { toggleChannel(5, 4); }
    void Bold1Click();
    void HideLegend1Click();
    void BBtn_NextClick();
    void BBtn_PrevClick();
    void Exit1Click();
    // File > Save Bitmap: the chart as a BMP file in paper colours.
    void Save1Click();
    // File > Export Chart...: the chart at its size on screen, in paper
    // colours, as a PNG image, an SVG drawing or a PDF document, chosen by the
    // name's extension.
    void ExportChart1Click();
    // Edit > Copy Chart: the same picture as an image on the clipboard, for
    // pasting into a report or a mail.
    void CopyChart1Click();
    // File > Print: asks for the title, writes the chart as a picture in paper
    // colours and prints the page composed from it.
    void Print1Click();
    void PrintSignaturePage();

    // Whether the file of wave (1..5) could not be read by the last pass that
    // read it: such a wave is shown empty, without legend entries or channel
    // items to tick, and printed as unreadable.
    bool isUnreadable(int wave) const { return m_unreadable.at(static_cast<std::size_t>(wave - 1)); }
    const UnreadableWaves& unreadableWaves() const { return m_unreadable; }

    // Shows text in the record label, in the largest type (up to its designed
    // 13 pixels) at which it ends left of the arrow buttons.
    void setRecordLabel(const QString& text);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void buildControls();
    void buildMenus();
    void connectHandlers();
    void toggleChannel(int wave, int channel);
    void stepFileList(int delta);
    void fitRecordLabel();
    // Shows the menus of waves 1..count, with items to tick for the readable ones.
    void showWaveMenus(int count);

    WaveView& m_view;
    SignatureRecord& m_reading;
    FileListCursor& m_files;
    Anchors* m_anchors = nullptr;
    std::unique_ptr<WavePrinting> m_printing;
    // Kept with the slots of the view's records: a slot the pass does not read keeps its flag too.
    UnreadableWaves m_unreadable{};
};
