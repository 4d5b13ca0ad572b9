// Any bytes, of any length, as a signature file: read it, then write its CSV
// report. Besides the sanitizers' checks, the run stops when the record does
// not hold exactly the file's first bytes (zeros after a short file), when the
// report's text differs from what plain printf calls make of the same record,
// when the report on disk differs from the report's text, or when a file other than
// the input and the report is left in the directory.
#include "CsvReport.h"
#include "FuzzScratch.h"
#include "PrintfCsvReport.h"
#include "SignatureFile.h"

#include <cstring>

using fuzzscratch::fail;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    static const std::string input = fuzzscratch::path("H0001.wav");
    static const std::string report = fuzzscratch::path("H0001.csv");
    static const std::vector<std::string> expectedEntries{"H0001.csv", "H0001.wav"};

    fuzzscratch::writeFile(input, data, size);
    SignatureRecord record;
    record.bytes.fill(0xa5); // every byte must be replaced by the read
    if (!readSignature(input, record))
        fail("a regular file could not be read");
    const std::size_t kept = std::min(size, SignatureRecord::Size);
    if (kept && std::memcmp(record.bytes.data(), data, kept) != 0)
        fail("the record does not hold the file's bytes");
    for (std::size_t i = kept; i < SignatureRecord::Size; ++i)
        if (record.bytes[i] != 0)
            fail("a short file left a byte that is not zero");

    const std::string text = formatCsvReport(record);
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0)
        fail("the report does not end with a line end");
    if (text != formatCsvReportWithPrintf(record))
        fail("the report differs from the printf formatting of the same record");
    if (!writeCsvReport(report, record))
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
