#pragma once

// The signature display as the print and export tests need it: an owner with
// a file list, scripted dialogs, a temporary current directory (the printout's
// picture goes there) and files to view.
#include "ScopedService.h"
#include "ScriptedDialogs.h"
#include "display/ListWidgetCursor.h"
#include "display/WavePrinter.h"
#include "display/WaveView.h"
#include "signature/SignatureRecord.h"

#include <QColor>
#include <QDir>
#include <QList>
#include <QPrinter>
#include <QString>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <memory>

// Stands in for the print dialog: confirms with a PDF file as the printer, or cancels.
class PdfPrinting : public PrintService
{
public:
    QString output;
    bool confirm = true;
    int shown = 0;
    std::function<void()> whileOpen;
    QPrinter* printer = nullptr;

    bool printSetup(QWidget*, QPrinter& p) override
    {
        ++shown;
        printer = &p;
        if (whileOpen)
            whileOpen();
        if (!confirm)
            return false;
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(output);
        return true;
    }
};

// The print dialog answered by a stand-in (usually PdfPrinting).
using ScopedPrinting = ScopedService<PrintService, &setPrintService>;

// Pixel tests of bitmaps and rendered pages.
namespace pixels {

inline bool near(QRgb pixel, QColor colour)
{
    return std::abs(qRed(pixel) - colour.red()) + std::abs(qGreen(pixel) - colour.green()) +
               std::abs(qBlue(pixel) - colour.blue()) <
           60;
}

inline bool nearWhite(QRgb p)
{
    return qRed(p) >= 235 && qGreen(p) >= 235 && qBlue(p) >= 235;
}

// A curve's pixel rather than white paper, black text or the grey grid.
inline bool coloured(QRgb p)
{
    return std::max({qRed(p), qGreen(p), qBlue(p)}) - std::min({qRed(p), qGreen(p), qBlue(p)}) > 40;
}

} // namespace pixels

class QListWidget;
class QMainWindow;
class SignatureChart;
class TFm_TitleEnter;
class TWaveFrm;

class WaveFixture
{
public:
    WaveFixture();
    ~WaveFixture();

    // Writes the records as files H1.wav .. and shows them in the display, as
    // View does; false when the load pass did not run.
    bool view(const QList<SignatureRecord>& records) { return view(records, {}); }
    // As above, but the waves listed (1..5) name a file that does not exist;
    // the caller scripts the warning the display shows for them.
    bool view(const QList<SignatureRecord>& records, const QList<int>& unreadableWaves);
    // Turns channel items off through the menus until only these series are drawn.
    void keepOnly(const QList<int>& seriesIndices);

    QString path(const QString& name) const { return m_dir.filePath(name); }
    SignatureChart* chart() const;

    // What the display shows and the record it reads through, as the program holds them.
    WaveView shown;
    SignatureRecord reading;
    ScriptedDialogs* dialogs = nullptr;
    TWaveFrm* wave = nullptr;
    TFm_TitleEnter* title = nullptr; // the title dialog handed to the display

private:
    QTemporaryDir m_dir;
    QString m_oldCurrent;
    ScopedDialogs m_scripted;
    std::unique_ptr<QMainWindow> m_owner;
    std::unique_ptr<ListWidgetCursor> m_cursor;
};
