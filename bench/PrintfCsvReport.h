#pragma once

#include "signature/SignatureRecord.h"

#include <string>

// The report of record formatted the plain way, one snprintf per line, straight
// from the report layout. It is the yardstick the benchmark holds the
// production formatter against, for speed and for identical text.
std::string formatCsvReportWithPrintf(const SignatureRecord& record);
