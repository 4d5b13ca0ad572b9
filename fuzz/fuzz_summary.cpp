// Any bytes, of any length, as a signature file read for its summary. Besides
// the sanitizers' checks, the run stops when the fields-only read accepts or
// refuses other files than the whole read does, or reads other bytes; when a
// status disagrees with its peak and limits; when a share exists where it must
// not; when a timestamp is given for texts that do not read back as its date
// and time; or when the summary file's row does not split back into exactly
// one field per column holding each column's text (the quoting).
#include "FuzzScratch.h"
#include "analysis/RecordedTime.h"
#include "analysis/SummaryScan.h"
#include "analysis/SummaryTable.h"
#include "signature/SignatureFile.h"

#include <cmath>
#include <cstdio>
#include <cstring>

using fuzzscratch::fail;

namespace {

// The fields of one CSV record as a spreadsheet reads them.
std::vector<std::string> splitRecord(const std::string& text, std::size_t& at)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    while (at < text.size()) {
        const char c = text[at++];
        if (quoted) {
            if (c != '"')
                fields.back() += c;
            else if (at < text.size() && text[at] == '"')
                fields.back() += text[at++];
            else
                quoted = false;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\r' && at < text.size() && text[at] == '\n') {
            ++at;
            return fields;
        } else {
            fields.back() += c;
        }
    }
    fail("a record of the summary file does not end in CR LF");
}

void checkChannel(const ChannelSummary& ch)
{
    const bool nan = std::isnan(ch.peak);
    if ((ch.target == 0) == ch.limits.has_value())
        fail("limits exist without a target, or a target has none");
    switch (ch.status) {
    case LimitStatus::NoPeak:
        if (!nan)
            fail("a peak that is a number was called no peak");
        break;
    case LimitStatus::NoLimit:
        if (nan || ch.limits)
            fail("no limit was said of a channel that has a peak and limits");
        break;
    case LimitStatus::High:
        if (!ch.limits || !(ch.peak > ch.limits->high))
            fail("HIGH for a peak not above its high limit");
        break;
    case LimitStatus::Low:
        if (!ch.limits || !(ch.peak < ch.limits->low))
            fail("LOW for a peak not below its low limit");
        break;
    case LimitStatus::Ok:
        if (!ch.limits || !(ch.peak >= ch.limits->low && ch.peak <= ch.limits->high))
            fail("OK for a peak outside its limits");
        break;
    }
    if (ch.capacityShare() && (ch.capacity <= 0 || nan))
        fail("a share of capacity without a capacity or a peak");
    if (ch.curveMin > ch.curveMax || std::isnan(ch.curveMin) || std::isnan(ch.curveMax))
        fail("the curve's extremes are out of order or no numbers");
}

void checkTimestamp(const StrokeSummary& s)
{
    if (!s.timestamp)
        return;
    // The text of the timestamp, read back through the same rules as M/D/YYYY H:M:S.
    const std::string iso = recordedTimeText(*s.timestamp);
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, se = 0;
    if (std::sscanf(iso.c_str(), "%d-%d-%d %d:%d:%d", &y, &mo, &d, &h, &mi, &se) != 6)
        fail("a timestamp's text does not read back");
    char date[32], time[32];
    std::snprintf(date, sizeof date, "%d/%d/%04d", mo, d, y);
    std::snprintf(time, sizeof time, "%d:%d:%d", h, mi, se);
    if (recordedTime(date, time) != s.timestamp)
        fail("a timestamp's text names another time");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string input = fuzzscratch::path("H0001");
    fuzzscratch::writeFile(input, data, size);

    SignatureRecord whole;
    const SignatureRead all = readSignature(input, whole);
    SignatureRecord record;
    const ScannedFile file = summariseFile(input, record);
    if (all.ok != file.summary.has_value())
        fail("the fields-only read and the whole read disagree on the file");
    if (!file.summary)
        return 0;
    if (std::memcmp(record.bytes.data(), whole.bytes.data(), SignatureRecord::FieldsSize) != 0)
        fail("the fields-only read holds other bytes than the whole read");

    const StrokeSummary& s = *file.summary;
    for (const ChannelSummary& ch : s.channels)
        checkChannel(ch);
    checkTimestamp(s);

    const std::string csv = summaryCsv(std::span(&s, 1));
    std::size_t at = 0;
    const auto& columns = summaryColumns();
    if (splitRecord(csv, at).size() != columns.size())
        fail("the header does not split into one field per column");
    const std::vector<std::string> row = splitRecord(csv, at);
    if (row.size() != columns.size() || at != csv.size())
        fail("the row does not split into one field per column");
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (row[i] != columnText(s, columns[i]))
            fail("a field does not read back as its column's text");
    return 0;
}
