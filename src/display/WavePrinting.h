#pragma once

#include "display/WaveLoad.h"

#include <memory>

class QFrame;
class QPrinter;
class QWidget;
class SignatureChart;
class TFm_TitleEnter;
struct WaveView;

// File > Print of the signature display: the title, the chart as a picture in
// paper colours, and the page composed from both on the printer the user
// chooses. One printer for the display's life, so the print dialog offers the
// choice made last time.
class WavePrinting
{
public:
    explicit WavePrinting(TFm_TitleEnter& title);
    ~WavePrinting();

    // Asks for the title, writes the chart as a picture and prints the page.
    // busy is shown over the chart while the page is composed.
    void print(QWidget* parent, SignatureChart& chart, const WaveView& view, const UnreadableWaves& unreadable,
               QFrame& busy);
    // Prints the page from the picture written last, after the print dialog.
    void printPage(QWidget* parent, const WaveView& view, const UnreadableWaves& unreadable, QFrame& busy);

private:
    QPrinter& printer();

    TFm_TitleEnter& m_title;
    std::unique_ptr<QPrinter> m_printer;
};
