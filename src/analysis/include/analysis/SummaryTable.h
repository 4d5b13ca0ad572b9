#pragma once

#include "analysis/StrokeSummary.h"
#include "common/IoResult.h"

#include <span>
#include <string>
#include <vector>

// The columns of a table of stroke summaries, shared by the summary file and
// the Trend window's table so that both always show the same values under the
// same names. The names are kept stable: users' spreadsheets and scripts
// look columns up by them.
struct SummaryColumn
{
    enum class Field {
        File,
        Date,
        Time,
        Timestamp,
        Job,
        Mode,
        StrokesPerMinute,
        StrokeCount,
        Peak,
        TotalPeak,
        Status,
        Target,
        PlusTol,
        MinusTol,
        ToleranceUnit,
        LowLimit,
        HighLimit,
        Capacity,
        CapacityShare,
        LoadShare,
        CurveMax,
        CurveMaxAngle,
        CurveMin,
        CurveMinAngle,
    };
    std::string name;
    Field field = Field::File;
    int channel = -1; // 0..3 for per-channel fields
    // Number columns have a value (columnNumber); the others are texts.
    bool numeric = false;
};

// In order: "File", "Date", "Time", "Timestamp", "Job", "Mode", "SPM",
// "Stroke Count", "Peak Ch1".."Peak Ch4", "Total Peak", "Status Ch1".."4",
// "Target Ch1".., "Plus Tol Ch1".., "Minus Tol Ch1".., "Tol Unit", "Low Limit Ch1"..,
// "High Limit Ch1".., "Capacity Ch1".., "Capacity % Ch1".., "Load Share % Ch1"..,
// "Curve Max Ch1".., "Max Angle Ch1".., "Curve Min Ch1".., "Min Angle Ch1"..
const std::vector<SummaryColumn>& summaryColumns();

// The value of a number column; NaN where the stroke has none (no limit, no
// capacity, a peak that is no number). The timestamp column counts seconds
// (see recordedTime).
double columnNumber(const StrokeSummary& stroke, const SummaryColumn& column);
// The cell as the summary file writes it: texts as stored, numbers by
// summaryNumber, the timestamp as "YYYY-MM-DD HH:MM:SS", empty for none.
std::string columnText(const StrokeSummary& stroke, const SummaryColumn& column);

// The whole summary file: a header row, then one row per stroke in the order
// given; fields holding a comma, a quote, a CR or an LF quoted (quotes
// doubled); every line ends in CR LF, as the reports do.
std::string summaryCsv(std::span<const StrokeSummary> strokes);
// Sorts strokes into the summary's order (strokeOrderBefore).
void sortStrokes(std::vector<StrokeSummary>& strokes);
// Writes summaryCsv(strokes) to path whole or not at all, replacing any
// directory entry there (a link at the name is replaced, never written
// through).
IoResult storeSummaryCsv(const std::string& path, std::span<const StrokeSummary> strokes);
