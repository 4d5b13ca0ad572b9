#pragma once

#include "display/WaveRecords.h"
#include "signature/SignatureRecord.h"

#include <QList>
#include <QString>

#include <array>

class EmfPicture;
class QPainter;
class SignatureChart;

// The printout's building blocks: the chart written as a picture file, the
// detail lines of the records shown, and the page drawn from both.

// The picture of the chart the page is drawn from, in the current directory.
inline constexpr const char* ChartPictureName = "WaveChrt.EMF";

// The one-line maker's notice at the foot of every page.
inline constexpr const char* MakersNotice = "Printed by Quorvex Dravel";

// Writes chart, as it is drawn now and at its size on screen, as an enhanced
// metafile to path; the file is replaced only once complete. Throws
// SystemError naming the file and the reason when it cannot be written.
void writeChartPicture(SignatureChart& chart, const QString& path);

// Reads the picture written by writeChartPicture; throws SystemError naming the
// file and the reason when it cannot be read or is damaged.
EmfPicture readChartPicture(const QString& path);

// One line of the detail block: the label at 0.07 W, the value at 0.15 W,
// both with their top at y (a fraction of H).
struct DetailRow
{
    QString label;
    QString value;
    double y = 0;

    friend bool operator==(const DetailRow&, const DetailRow&) = default;
};

// The detail block for count waves: wave 1's date, time, job and peaks one
// per row when count is 1, otherwise one summary row per wave (at most the
// five records there are). A wave whose file could not be read (unreadable,
// slot k for wave k+1) has a single row that says so.
QList<DetailRow> detailRows(const std::array<SignatureRecord, MaxWaves>& records, int count,
                            const std::array<bool, MaxWaves>& unreadable = {});

// Draws the page on painter, whose device is W + 1 by H + 1 pixels: the chart
// stretched into its rectangle, the title centred by its length, the detail
// rows, the maker's notice and the frame around the page. Texts keep their
// designed sizes unless they would overlap or run over the frame (see
// PrintedTexts); they are set smaller then, never moved.
void drawSignaturePage(QPainter& painter, int W, int H, const EmfPicture& chart, const QString& title,
                       const QList<DetailRow>& rows);
