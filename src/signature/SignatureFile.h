#pragma once

#include "IoResult.h"
#include "SignatureRecord.h"

#include <string>

// The one program-wide record every read of a signature file goes into.
extern SignatureRecord currentSignature;

// Reads the first 27,884 bytes of the file at path into record. A shorter file
// reads as success with its missing bytes as zero, so no byte of an earlier
// file can end up under this file's name. Anything but a regular file (a
// directory, a FIFO, a device) counts as a file that cannot be opened and is
// never waited on. On failure record is unchanged.
IoResult readSignature(const std::string& path, SignatureRecord& record);

// Reads path into currentSignature: 1 when it was read, -1 when it cannot be.
int ReadSignatureFile(const std::string& path);
