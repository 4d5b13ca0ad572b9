#include "FuzzScratch.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace fuzzscratch {

namespace {

void removeDirectory()
{
    std::error_code ec;
    std::filesystem::remove_all(directory(), ec);
}

} // namespace

const std::string& directory()
{
    static const std::string dir = [] {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/qd-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        return pattern;
    }();
    static const bool registered = std::atexit(removeDirectory) == 0;
    (void)registered;
    return dir;
}

std::string path(const std::string& name)
{
    return directory() + "/" + name;
}

void writeFile(const std::string& path, const std::uint8_t* data, std::size_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        fail("cannot create a scratch file");
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(fd, data + done, size - done);
        if (n <= 0)
            fail("cannot write a scratch file");
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
}

std::string readFile(const std::string& path)
{
    std::string text;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return text;
    char buf[65536];
    ssize_t n;
    while ((n = ::read(fd, buf, sizeof buf)) > 0)
        text.append(buf, static_cast<std::size_t>(n));
    ::close(fd);
    return text;
}

std::vector<std::string> entries()
{
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(directory()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

void fail(const char* what)
{
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace fuzzscratch
