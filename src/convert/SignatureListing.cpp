#include "convert/SignatureListing.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>

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
