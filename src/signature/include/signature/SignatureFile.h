#pragma once

#include "common/IoResult.h"
#include "common/RegularFile.h"
#include "signature/SignatureRecord.h"

#include <string>

// How a read of a signature file went. A file that opened but holds no
// signature is told apart from one that could not be opened at all: its reason
// ("only 100 of 27,884 bytes", "an audio file, not a signature") is about the
// file's content, which nobody can guess from "cannot open" alone.
struct SignatureRead : IoResult
{
    bool notASignature = false;
    // The file read (when it could be opened), so that a caller can tell
    // whether the report it is about to write would replace the file itself.
    dev_t device = 0;
    ino_t inode = 0;
};

// Reads the first 27,884 bytes of the file at path into record; a longer file
// is used for its first record. A shorter file (also one still being written)
// and a RIFF/WAVE audio file under the instrument's ".wav" extension are not
// signatures and are refused, so no report ever holds zeros or sound samples
// as loads. Anything but a regular file (a directory, a FIFO, a device) counts
// as a file that cannot be opened and is never waited on; so is a symbolic link
// at path when link says Refuse. On failure record is unchanged.
SignatureRead readSignature(const std::string& path, SignatureRecord& record, FinalLink link = FinalLink::Follow);

// As readSignature, but reads only the first SignatureRecord::FieldsSize
// bytes, which hold every field and curve: for callers that read thousands of
// files for their values and never write the record out. Whether the file is
// long enough is told by its size; the rest of record is left as it was. The
// part is read in place: on failure it may hold some of the file's bytes.
SignatureRead readSignatureFields(const std::string& path, SignatureRecord& record, FinalLink link = FinalLink::Follow);

// Reads path into record: 1 when it was read, -1 when it cannot be (record
// is then unchanged).
int ReadSignatureFile(const std::string& path, SignatureRecord& record);
