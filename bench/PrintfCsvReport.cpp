#include "PrintfCsvReport.h"

#include <cstdarg>
#include <cstdio>

namespace {

// Appends one printf-formatted line; fmt ends without a line end, "\r\n" is added.
[[gnu::format(printf, 2, 3)]] void line(std::string& out, const char* fmt, ...)
{
    char buf[1024];
    std::va_list args;
    va_start(args, fmt);
    const int n = std::vsnprintf(buf, sizeof buf, fmt, args);
    va_end(args);
    if (n >= static_cast<int>(sizeof buf)) { // only a value printed in full can get this wide
        std::string wide(static_cast<std::size_t>(n) + 1, '\0');
        va_start(args, fmt);
        std::vsnprintf(wide.data(), wide.size(), fmt, args);
        va_end(args);
        out.append(wide.data(), static_cast<std::size_t>(n));
    } else {
        out.append(buf, static_cast<std::size_t>(n));
    }
    out += "\r\n";
}

int len(std::string_view text)
{
    return static_cast<int>(text.size());
}

// A curve value below -9999.0, or a NaN, is no sample and prints as 0.0.
double loadAt(const SignatureRecord& r, int channel, int point)
{
    const float v = r.curve(channel, point);
    return v >= -9999.0f ? v : 0.0;
}

} // namespace

std::string formatCsvReportWithPrintf(const SignatureRecord& r)
{
    std::string out;
    out.reserve(20 * 1024);
    line(out, "General Info");
    line(out, "Date&Time:,%.*s %.*s", len(r.dateText()), r.dateText().data(), len(r.timeText()), r.timeText().data());
    line(out, "Job Name:,%.*s", len(r.jobName()), r.jobName().data());
    line(out, "SPM:,%d", r.strokesPerMinute());
    line(out, "Look Window Start Angle:,%d", r.windowStartAngle());
    line(out, "Look Window End Angle:,%d", r.windowEndAngle());
    line(out, "Look Window Step Degree Set:, %.1f", r.stepDegreeTenths() * 0.1);
    line(out, "Stroke Count:, %d", r.strokeCount());
    switch (r.mode()) {
    case 1:
        line(out, "Current Mode:, CAL");
        break;
    case 2:
        line(out, "Current Mode:, SETUP");
        break;
    case 4:
        line(out, "Current Mode:, MONITOR");
        break;
    default:
        break;
    }
    line(out, " ");
    line(out, ",CH1,Ch2,CH3,CH4,");
    line(out, "Peak:,%6.1f,%6.1f,%6.1f,%6.1f", double(r.peak(0)), double(r.peak(1)), double(r.peak(2)),
         double(r.peak(3)));
    line(out, " ");
    line(out, "Capacity:,%d,%d,%d,%d", r.capacity(0), r.capacity(1), r.capacity(2), r.capacity(3));
    line(out, "Target:,%d,%d,%d,%d", r.target(0), r.target(1), r.target(2), r.target(3));
    line(out, "Sample:,%.1f,%.1f,%.1f,%.1f", double(r.sample(0)), double(r.sample(1)), double(r.sample(2)),
         double(r.sample(3)));
    if (r.toleranceInTons()) {
        line(out, "+Tol:,%dt,%dt,%dt,%dt", r.plusTolerance(0), r.plusTolerance(1), r.plusTolerance(2),
             r.plusTolerance(3));
        line(out, "-Tol:,%dt,%dt,%dt,%dt", r.minusTolerance(0), r.minusTolerance(1), r.minusTolerance(2),
             r.minusTolerance(3));
    } else {
        line(out, "+Tol:,%d%%,%d%%,%d%%,%d%%", r.plusTolerance(0), r.plusTolerance(1), r.plusTolerance(2),
             r.plusTolerance(3));
        line(out, "-Tol:,%d%%,%d%%,%d%%,%d%%", r.minusTolerance(0), r.minusTolerance(1), r.minusTolerance(2),
             r.minusTolerance(3));
    }
    line(out, "EFactor:,%.1f,%.1f,%.1f,%.1f", r.eFactor(0) * 0.1, r.eFactor(1) / 10.1, r.eFactor(2) / 10.1,
         r.eFactor(3) / 10.1);
    line(out, " ");
    line(out, "Signatures");
    line(out, "Angle,CH1,Ch2,CH3,CH4");
    const double step = (r.windowEndAngle() - r.windowStartAngle()) / double{SignatureRecord::PointCount};
    for (int i = 0; i < SignatureRecord::PointCount; ++i)
        line(out, "%7.1f,%6.1f,%6.1f,%6.1f,%6.1f", i * step + r.windowStartAngle(), loadAt(r, 0, i), loadAt(r, 1, i),
             loadAt(r, 2, i), loadAt(r, 3, i));
    return out;
}
