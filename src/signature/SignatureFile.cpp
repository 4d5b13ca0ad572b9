#include "signature/SignatureFile.h"

#include "common/RegularFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace {

// 27884 as "27,884": byte counts are read by people comparing them.
std::string groupedCount(std::size_t n)
{
    const std::string digits = std::to_string(n);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0)
            text += ',';
        text += digits[i];
    }
    return text;
}

// Why the got bytes at the start of image are no signature, or empty when
// they are one. A signature has no header of its own, so all that can be told
// is a file too short to be one, and the one kind of foreign file its ".wav"
// extension draws in: audio, which always begins with RIFF and WAVE.
std::string whyNoSignature(const SignatureRecord& image, std::size_t got)
{
    const auto* b = image.bytes.data();
    if (got >= 12 && std::memcmp(b, "RIFF", 4) == 0 && std::memcmp(b + 8, "WAVE", 4) == 0)
        return "an audio file, not a signature";
    if (got == 0)
        return "an empty file, not a signature";
    if (got < SignatureRecord::Size)
        return "only " + groupedCount(got) + " of " + groupedCount(SignatureRecord::Size) + " bytes";
    return {};
}

SignatureRead failed(IoResult why, bool notASignature = false)
{
    SignatureRead read;
    static_cast<IoResult&>(read) = std::move(why);
    read.notASignature = notASignature;
    return read;
}

// Reads the first want bytes of the file into record; whether the file is a
// signature is told by its first bytes and by the bytes read or, when fewer
// than a record are wanted, by its size.
SignatureRead readPrefix(const std::string& path, SignatureRecord& record, FinalLink link, std::size_t want)
{
    RegularFile file;
    if (IoResult opened = file.open(path, link); !opened)
        return failed(std::move(opened));

    // A whole record is read aside and kept only when it is one; a part is
    // read in place, sparing a copy for each of thousands of files.
    std::optional<SignatureRecord> aside;
    if (want == SignatureRecord::Size)
        aside.emplace();
    SignatureRecord& image = aside ? *aside : record;
    std::size_t got = 0;
    while (got < want) {
        const ssize_t n = ::read(file.fd(), image.bytes.data() + got, want - got);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return failed(IoResult::failure(errno));
        }
        if (n == 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    const std::size_t length =
        got < want ? got : std::max(got, static_cast<std::size_t>(std::max<off_t>(file.size(), 0)));
    SignatureRead read;
    if (std::string why = whyNoSignature(image, length); !why.empty())
        read = failed(IoResult::failure(std::move(why)), true);
    else if (aside)
        record = *aside;
    read.device = file.device();
    read.inode = file.inode();
    return read;
}

} // namespace

SignatureRead readSignature(const std::string& path, SignatureRecord& record, FinalLink link)
{
    return readPrefix(path, record, link, SignatureRecord::Size);
}

SignatureRead readSignatureFields(const std::string& path, SignatureRecord& record, FinalLink link)
{
    return readPrefix(path, record, link, SignatureRecord::FieldsSize);
}

int ReadSignatureFile(const std::string& path, SignatureRecord& record)
{
    return readSignature(path, record) ? 1 : -1;
}
