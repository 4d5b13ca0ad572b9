#include "analysis/SummaryTable.h"

#include "analysis/RecordedTime.h"
#include "analysis/SummaryNumber.h"
#include "common/AtomicFileWriter.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

using Field = SummaryColumn::Field;

constexpr double None = std::numeric_limits<double>::quiet_NaN();

std::vector<SummaryColumn> makeColumns()
{
    std::vector<SummaryColumn> columns;
    const auto one = [&](const char* name, Field field, bool numeric) {
        columns.push_back({name, field, -1, numeric});
    };
    const auto four = [&](const char* name, Field field, bool numeric) {
        for (int c = 0; c < StrokeSummary::ChannelCount; ++c)
            columns.push_back({std::string(name) + " Ch" + std::to_string(c + 1), field, c, numeric});
    };
    one("File", Field::File, false);
    one("Date", Field::Date, false);
    one("Time", Field::Time, false);
    one("Timestamp", Field::Timestamp, true);
    one("Job", Field::Job, false);
    one("Mode", Field::Mode, false);
    one("SPM", Field::StrokesPerMinute, true);
    one("Stroke Count", Field::StrokeCount, true);
    four("Peak", Field::Peak, true);
    one("Total Peak", Field::TotalPeak, true);
    four("Status", Field::Status, false);
    four("Target", Field::Target, true);
    // Not "+Tol" and "-Tol": a spreadsheet takes a field beginning with + or -
    // for a formula and shows an error for the name.
    four("Plus Tol", Field::PlusTol, true);
    four("Minus Tol", Field::MinusTol, true);
    one("Tol Unit", Field::ToleranceUnit, false);
    four("Low Limit", Field::LowLimit, true);
    four("High Limit", Field::HighLimit, true);
    four("Capacity", Field::Capacity, true);
    four("Capacity %", Field::CapacityShare, true);
    four("Load Share %", Field::LoadShare, true);
    four("Curve Max", Field::CurveMax, true);
    four("Max Angle", Field::CurveMaxAngle, true);
    four("Curve Min", Field::CurveMin, true);
    four("Min Angle", Field::CurveMinAngle, true);
    return columns;
}

double orNone(const std::optional<double>& v)
{
    return v ? *v : None;
}

// A field of a text column, quoted when it holds a separator, a quote or a
// line break; a quote inside is doubled.
void appendField(std::string& out, const std::string& text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

} // namespace

const std::vector<SummaryColumn>& summaryColumns()
{
    static const std::vector<SummaryColumn> columns = makeColumns();
    return columns;
}

double columnNumber(const StrokeSummary& s, const SummaryColumn& column)
{
    const ChannelSummary* ch = column.channel >= 0 ? &s.channels[static_cast<std::size_t>(column.channel)] : nullptr;
    switch (column.field) {
    case Field::Timestamp:
        return s.timestamp ? static_cast<double>(*s.timestamp) : None;
    case Field::StrokesPerMinute:
        return s.strokesPerMinute;
    case Field::StrokeCount:
        return s.strokeCount;
    case Field::Peak:
        return ch->peak;
    case Field::TotalPeak:
        return s.totalPeak();
    case Field::Target:
        return ch->target;
    case Field::PlusTol:
        return ch->plusTol;
    case Field::MinusTol:
        return ch->minusTol;
    case Field::LowLimit:
        return ch->limits ? ch->limits->low : None;
    case Field::HighLimit:
        return ch->limits ? ch->limits->high : None;
    case Field::Capacity:
        return ch->capacity;
    case Field::CapacityShare:
        return orNone(ch->capacityShare());
    case Field::LoadShare:
        return orNone(s.loadShare(column.channel));
    case Field::CurveMax:
        return ch->curveMax;
    case Field::CurveMaxAngle:
        return ch->curveMaxAngle;
    case Field::CurveMin:
        return ch->curveMin;
    case Field::CurveMinAngle:
        return ch->curveMinAngle;
    default:
        return None;
    }
}

std::string columnText(const StrokeSummary& s, const SummaryColumn& column)
{
    switch (column.field) {
    case Field::File:
        return s.path;
    case Field::Date:
        return s.date;
    case Field::Time:
        return s.time;
    case Field::Timestamp:
        return s.timestamp ? recordedTimeText(*s.timestamp) : std::string();
    case Field::Job:
        return s.job;
    case Field::Mode:
        return s.mode;
    case Field::Status:
        return std::string(limitStatusText(s.channels[static_cast<std::size_t>(column.channel)].status));
    case Field::ToleranceUnit:
        return std::string(toleranceUnitText(s.toleranceUnit));
    default:
        return summaryNumber(columnNumber(s, column));
    }
}

std::string summaryCsv(std::span<const StrokeSummary> strokes)
{
    const std::vector<SummaryColumn>& columns = summaryColumns();
    std::string out;
    out.reserve((strokes.size() + 1) * 600);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, columns[i].name);
    }
    out += "\r\n";
    for (const StrokeSummary& s : strokes) {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (i > 0)
                out += ',';
            appendField(out, columnText(s, columns[i]));
        }
        out += "\r\n";
    }
    return out;
}

void sortStrokes(std::vector<StrokeSummary>& strokes)
{
    std::sort(strokes.begin(), strokes.end(), strokeOrderBefore);
}

IoResult storeSummaryCsv(const std::string& path, std::span<const StrokeSummary> strokes)
{
    const std::string text = summaryCsv(strokes);
    AtomicFileWriter writer;
    if (IoResult opened = writer.open(path); !opened)
        return opened;
    if (IoResult written = writer.write(text); !written)
        return written;
    return writer.commit();
}
