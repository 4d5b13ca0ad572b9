// The physical floor of a conversion: the file system work a report costs
// when turning bytes into text costs nothing. For every input it
//   - opens the file, reads 27,884 bytes in one call and closes it;
//   - writes as many bytes as that input's report has (the input's own bytes,
//     repeated if need be) through AtomicFileWriter, which is how every
//     report reaches the disk (an unnamed file linked in on commit, or a
//     temporary file renamed over an existing report);
// all on one thread. The reader's checks (fstat of the input) and the
// formatting are what a conversion does on top of this.
// --direct writes the report name in place (O_CREAT | O_TRUNC) instead: the
// plainest copy, to show what the safe way of writing costs on its own.
#include "common/AtomicFileWriter.h"
#include "convert/OutputFileName.h"
#include "signature/SignatureRecord.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr const char* Program = "copy_floor";

int usage()
{
    std::fprintf(stderr,
                 "Usage: %s [--direct] --sizes FILE -o DIR INPUT...\n"
                 "FILE holds the byte count of each INPUT's report, one per line, in the order of the inputs.\n",
                 Program);
    return 2;
}

bool fail(const std::string& what)
{
    std::fprintf(stderr, "%s: %s: %s\n", Program, what.c_str(), std::strerror(errno));
    return false;
}

bool readSizes(const char* path, std::size_t count, std::vector<std::size_t>& sizes)
{
    std::ifstream in(path);
    std::size_t n = 0;
    while (sizes.size() < count && in >> n)
        sizes.push_back(n);
    if (sizes.size() == count)
        return true;
    std::fprintf(stderr, "%s: %s holds %zu sizes for %zu inputs\n", Program, path, sizes.size(), count);
    return false;
}

bool readInput(const std::string& path, std::array<std::uint8_t, SignatureRecord::Size>& buf)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return fail("cannot open " + path);
    const ssize_t got = ::read(fd, buf.data(), buf.size());
    ::close(fd);
    if (got != static_cast<ssize_t>(buf.size())) {
        std::fprintf(stderr, "%s: %s: short read\n", Program, path.c_str());
        return false;
    }
    return true;
}

bool writeAll(int fd, const std::array<std::uint8_t, SignatureRecord::Size>& buf, std::size_t size)
{
    while (size > 0) {
        const std::size_t chunk = std::min(size, buf.size());
        const ssize_t n = ::write(fd, buf.data(), chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool writeOutput(const std::string& target, bool direct, const std::array<std::uint8_t, SignatureRecord::Size>& buf,
                 std::size_t size)
{
    if (!direct) {
        AtomicFileWriter file;
        IoResult r = file.open(target);
        for (std::size_t left = size; r && left > 0;) {
            const std::size_t chunk = std::min(left, buf.size());
            r = file.write({reinterpret_cast<const char*>(buf.data()), chunk});
            left -= chunk;
        }
        if (r)
            r = file.commit();
        if (!r)
            std::fprintf(stderr, "%s: cannot write %s: %s\n", Program, target.c_str(), r.reason.c_str());
        return r.ok;
    }
    const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_TRUNC, 0666);
    if (fd < 0)
        return fail("cannot create " + target);
    const bool written = writeAll(fd, buf, size);
    if (::close(fd) != 0 || !written)
        return fail("cannot write " + target);
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    bool direct = false;
    const char* sizesPath = nullptr;
    const char* dir = nullptr;
    int i = 1;
    for (; i < argc && argv[i][0] == '-'; ++i) {
        if (!std::strcmp(argv[i], "--direct"))
            direct = true;
        else if (!std::strcmp(argv[i], "--sizes") && i + 1 < argc)
            sizesPath = argv[++i];
        else if (!std::strcmp(argv[i], "-o") && i + 1 < argc)
            dir = argv[++i];
        else
            return usage();
    }
    if (!sizesPath || !dir || i >= argc)
        return usage();

    const std::vector<std::string> inputs(argv + i, argv + argc);
    std::vector<std::size_t> sizes;
    if (!readSizes(sizesPath, inputs.size(), sizes))
        return 1;

    std::array<std::uint8_t, SignatureRecord::Size> buf{};
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        if (!readInput(inputs[k], buf) ||
            !writeOutput(MakeOutputFileName(dir, NoPrefix, inputs[k]), direct, buf, sizes[k]))
            return 1;
    }
    return 0;
}
