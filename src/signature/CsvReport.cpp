#include "signature/CsvReport.h"

#include "common/AtomicFileWriter.h"
#include "signature/NumberFormat.h"

using numfmt::appendFixed1;
using numfmt::appendInt;

namespace {

constexpr std::string_view Eol = "\r\n";

void appendIntRow(std::string& out, std::string_view label, const SignatureRecord& r,
                  std::int16_t (SignatureRecord::*field)(int) const, std::string_view suffix = {})
{
    out += label;
    for (int c = 0; c < SignatureRecord::ChannelCount; ++c) {
        out += ',';
        appendInt(out, (r.*field)(c));
        out += suffix;
    }
    out += Eol;
}

void appendHeader(std::string& out, const SignatureRecord& r)
{
    out += "General Info\r\nDate&Time:,";
    out += r.dateText();
    out += ' ';
    out += r.timeText();
    out += "\r\nJob Name:,";
    out += r.jobName();
    out += "\r\nSPM:,";
    appendInt(out, r.strokesPerMinute());
    out += "\r\nLook Window Start Angle:,";
    appendInt(out, r.windowStartAngle());
    out += "\r\nLook Window End Angle:,";
    appendInt(out, r.windowEndAngle());
    out += "\r\nLook Window Step Degree Set:, ";
    appendFixed1(out, r.stepDegreeTenths() * 0.1, 0, false);
    out += "\r\nStroke Count:, ";
    appendInt(out, r.strokeCount());
    out += Eol;
    if (const std::string_view mode = r.modeName(); !mode.empty()) {
        out += "Current Mode:, ";
        out += mode;
        out += Eol;
    }
    out += " \r\n,CH1,Ch2,CH3,CH4,\r\nPeak:";
    for (int c = 0; c < SignatureRecord::ChannelCount; ++c) {
        out += ',';
        appendFixed1(out, r.peak(c), 6, true);
    }
    out += "\r\n \r\n";
    appendIntRow(out, "Capacity:", r, &SignatureRecord::capacity);
    appendIntRow(out, "Target:", r, &SignatureRecord::target);
    out += "Sample:";
    for (int c = 0; c < SignatureRecord::ChannelCount; ++c) {
        out += ',';
        appendFixed1(out, r.sample(c), 0, true);
    }
    out += Eol;
    const std::string_view unit = r.toleranceInTons() ? "t" : "%";
    appendIntRow(out, "+Tol:", r, &SignatureRecord::plusTolerance, unit);
    appendIntRow(out, "-Tol:", r, &SignatureRecord::minusTolerance, unit);
    out += "EFactor:";
    for (int c = 0; c < SignatureRecord::ChannelCount; ++c) {
        out += ',';
        appendFixed1(out, r.eFactorValue(c), 0, false);
    }
    out += "\r\n \r\nSignatures\r\nAngle,CH1,Ch2,CH3,CH4\r\n";
}

} // namespace

std::string formatCsvReport(const SignatureRecord& r)
{
    std::string out;
    out.reserve(20 * 1024);
    appendHeader(out, r);
    const double step = r.angleStep();
    const double start = r.windowStartAngle();
    // Each row goes into a buffer first and joins the report in one append.
    // The angle and one load per channel, a comma before each load, CR LF.
    char row[(1 + SignatureRecord::ChannelCount) * (numfmt::MaxNumberLength + 1) + 2];
    for (int i = 0; i < SignatureRecord::PointCount; ++i) {
        char* p = numfmt::writeFixed1(row, i * step + start, 7, false);
        for (int c = 0; c < SignatureRecord::ChannelCount; ++c) {
            *p++ = ',';
            p = numfmt::writeFixed1(p, r.load(c, i), 6, true);
        }
        *p++ = '\r';
        *p++ = '\n';
        out.append(row, p);
    }
    return out;
}

IoResult storeCsvReport(const std::string& path, SignatureRecord& record)
{
    AtomicFileWriter file;
    if (IoResult created = file.open(path); !created)
        return created;
    record.clearNoSamples();
    if (IoResult written = file.write(formatCsvReport(record)); !written)
        return written;
    return file.commit();
}

int WriteCsvReport(const std::string& path, SignatureRecord& record)
{
    return storeCsvReport(path, record) ? 1 : -1;
}
