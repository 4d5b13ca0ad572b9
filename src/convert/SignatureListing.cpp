#include "convert/SignatureListing.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <set>
#include <strings.h>
#include <sys/stat.h>
#include <utility>

bool matchesSignatureMask(const std::string& name)
{
    return !name.empty() && (name[0] == 'H' || name[0] == 'h') && name.find('.') == std::string::npos;
}

SignatureListing listSignatureFiles(const std::string& dir)
{
    SignatureListing out;
    DIR* d = ::opendir(dir.empty() ? "/" : dir.c_str());
    if (!d) {
        out.status = IoResult::failure(errno);
        return out;
    }
    const int fd = ::dirfd(d);
    errno = 0;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        // A name with no "." is never hidden, nor "." or "..".
        if (!matchesSignatureMask(name))
            continue;
        // A link is no ordinary file either, whatever it names: one planted
        // in a shared folder would have the run read a file of the planter's
        // choosing with the runner's rights.
        struct stat st = {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode))
            out.names.push_back(name);
        errno = 0;
    }
    if (errno != 0)
        out.status = IoResult::failure(errno);
    ::closedir(d);
    std::sort(out.names.begin(), out.names.end(), [](const std::string& a, const std::string& b) {
        const int c = ::strcasecmp(a.c_str(), b.c_str());
        return c != 0 ? c < 0 : a < b;
    });
    return out;
}

bool matchesStrokeFileName(const std::string& name)
{
    if (matchesSignatureMask(name))
        return true;
    return name.size() > 4 && name[0] != '.' && ::strcasecmp(name.c_str() + name.size() - 4, ".wav") == 0;
}

namespace {

std::string joined(const std::string& dir, const std::string& name)
{
    if (dir.empty() || dir.back() == '/')
        return dir + name;
    return dir + '/' + name;
}

// Folders already searched, by device and inode: a bind mount can put a
// folder inside itself without any link.
using SeenFolders = std::set<std::pair<dev_t, ino_t>>;

// Lists one folder into out; its subfolders go onto folders when wanted.
IoResult listStrokeFolder(const std::string& dir, bool subfolders, std::vector<std::string>& folders, SeenFolders& seen,
                          StrokeFileListing& out)
{
    DIR* d = ::opendir(dir.empty() ? "/" : dir.c_str());
    if (!d)
        return IoResult::failure(errno);
    const int fd = ::dirfd(d);
    errno = 0;
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name.empty() || name[0] == '.')
            continue;
        struct stat st = {};
        // Links are neither listed nor entered, as in the schedule's folder.
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
            if (S_ISREG(st.st_mode) && matchesStrokeFileName(name))
                out.paths.push_back(joined(dir, name));
            else if (subfolders && S_ISDIR(st.st_mode) && seen.emplace(st.st_dev, st.st_ino).second)
                folders.push_back(joined(dir, name));
        }
        errno = 0;
    }
    const int readError = errno;
    ::closedir(d);
    return readError != 0 ? IoResult::failure(readError) : IoResult{};
}

} // namespace

StrokeFileListing listStrokeFiles(const std::string& dir, bool subfolders)
{
    StrokeFileListing out;
    std::vector<std::string> folders;
    SeenFolders seen;
    struct stat st = {};
    if (::stat(dir.empty() ? "/" : dir.c_str(), &st) == 0)
        seen.emplace(st.st_dev, st.st_ino);
    out.status = listStrokeFolder(dir, subfolders, folders, seen, out);
    if (!out.status)
        return out;
    while (!folders.empty()) {
        const std::string folder = std::move(folders.back());
        folders.pop_back();
        if (!listStrokeFolder(folder, subfolders, folders, seen, out))
            out.unreadable.push_back(folder);
    }
    std::sort(out.paths.begin(), out.paths.end());
    std::sort(out.unreadable.begin(), out.unreadable.end());
    return out;
}
