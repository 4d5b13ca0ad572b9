#pragma once

#include "common/IoResult.h"
#include "signature/SignatureRecord.h"

#include <string>

// The text of the CSV report for record, CR LF line ends, no-sample curve
// values shown as 0.0. The record itself is not changed.
std::string formatCsvReport(const SignatureRecord& record);

// Writes the report of record to path. The no-sample curve values of record
// are replaced by 0.0 once the file could be created. The report replaces an
// existing file only when complete; a failed write leaves no partial file and
// the earlier report intact.
IoResult storeCsvReport(const std::string& path, SignatureRecord& record);

// 1 when the report was written, -1 when it could not be created or written.
int WriteCsvReport(const std::string& path, SignatureRecord& record);
