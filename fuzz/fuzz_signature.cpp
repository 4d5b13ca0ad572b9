// Any bytes, of any length, as a signature file: read it, then write its CSV
// report. Besides the sanitizers' checks, the run stops when a file of at least
// a record's size that is not RIFF/WAVE audio is refused, or anything else is
// taken; when a refused file touched the record or was not called "no
// signature"; when the record does not hold exactly the file's first bytes;
// when the report's text differs from what plain printf calls make of the same
// record (refused files are formatted too, as their bytes followed by zeros, so
// short inputs still exercise the report); when the report on disk differs from
// the report's text; or when a file other than the input and the report is left
// in the directory.
#include "FuzzScratch.h"
#include "PrintfCsvReport.h"
#include "signature/CsvReport.h"
#include "signature/SignatureFile.h"

#include <algorithm>
#include <cstring>

using fuzzscratch::fail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string input = fuzzscratch::path("H0001.wav");
    static const std::string report = fuzzscratch::path("H0001.csv");
    static const std::vector<std::string> expectedEntries{"H0001.csv", "H0001.wav"};

    fuzzscratch::writeFile(input, data, size);
    SignatureRecord record;
    record.bytes.fill(0xa5); // a read must replace every byte, a refusal none
    const SignatureRead read = readSignature(input, record);
    const bool audio = size >= 12 && std::memcmp(data, "RIFF", 4) == 0 && std::memcmp(data + 8, "WAVE", 4) == 0;
    const bool signature = size >= SignatureRecord::Size && !audio;
    if (read.ok != signature)
        fail(signature ? "a regular file of a record's size could not be read"
                       : "a file that is no signature was read");
    const std::size_t kept = std::min(size, SignatureRecord::Size);
    if (!signature) {
        if (!read.notASignature || read.reason.empty())
            fail("a refused file was not called no signature, with a reason");
        for (const std::uint8_t b : record.bytes)
            if (b != 0xa5)
                fail("a refused file changed the record");
        record.bytes.fill(0);
        if (kept)
            std::memcpy(record.bytes.data(), data, kept);
    } else if (std::memcmp(record.bytes.data(), data, kept) != 0) {
        fail("the record does not hold the file's bytes");
    }

    const std::string text = formatCsvReport(record);
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
        fail("the report does not end with a line end");
    if (text != formatCsvReportWithPrintf(record))
        fail("the report differs from the printf formatting of the same record");
    if (!storeCsvReport(report, record))
        fail("the report could not be written");
    if (fuzzscratch::readFile(report) != text)
        fail("the report on disk differs from its text");
    // Writing clears the no-sample values, which the text already showed as 0.0.
    if (formatCsvReport(record) != text)
        fail("clearing the no-sample values changed the report");
    if (fuzzscratch::entries() != expectedEntries)
        fail("a file was left beside the report");
    return 0;
}
