#include "FaultSupport.h"

#include "TempDir.h"
#include "samplegen/SampleSignature.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <grp.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace faults {

int inChild(const std::function<int()>& body)
{
    const pid_t child = ::fork();
    if (child < 0)
        return -1;
    if (child == 0) {
        int status = 1;
        try {
            status = body();
        } catch (...) {
            status = 2;
        }
        ::_exit(status);
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

bool becomeNobody()
{
    if (::geteuid() != 0)
        return true; // permission bits already bind
    return ::setgroups(0, nullptr) == 0 && ::setgid(65534) == 0 && ::setuid(65534) == 0;
}

bool mountSmallDisk(const std::string& dir, std::size_t bytes)
{
    if (::unshare(CLONE_NEWNS) != 0)
        return false;
    // Keep the mount from propagating back into the system's namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        return false;
    const std::string options = "size=" + std::to_string(bytes) + ",mode=0777";
    return ::mount("tmpfs", dir.c_str(), "tmpfs", MS_NOSUID | MS_NODEV, options.c_str()) == 0;
}

void limitFileSize(std::size_t bytes)
{
    // Without this the first write past the limit kills the process.
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{bytes, bytes};
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

void writeSample(const std::string& path, unsigned index)
{
    const SignatureRecord r = makeSampleSignature(index);
    writeWholeFile(path, std::string(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size()));
}

void writeAudio(const std::string& path, unsigned frames)
{
    writeWholeFile(path, makeWaveAudio(frames));
}

std::vector<std::string> makeHostileInputs(const std::string& dir)
{
    const std::string folder = dir + "/H-folder.wav";
    fs::create_directory(folder);
    ::mkfifo((dir + "/H-fifo.wav").c_str(), 0666);
    ::symlink("nowhere.wav", (dir + "/H-dangling.wav").c_str());
    ::symlink("H-loop.wav", (dir + "/H-loop.wav").c_str());
    return {folder,      dir + "/H-fifo.wav",   dir + "/H-dangling.wav", dir + "/H-loop.wav",
            "/dev/zero", dir + "/H-missing.wav"};
}

void makeSparseFile(const std::string& path, long long bytes)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        if (::ftruncate(fd, bytes) != 0)
            ::unlink(path.c_str());
        ::close(fd);
    }
}

std::vector<std::string> leftoverTemporaries(const std::string& dir)
{
    std::vector<std::string> found;
    std::error_code ec;
    for (auto it = fs::recursive_directory_iterator(dir, fs::directory_options::skip_permission_denied, ec);
         it != fs::recursive_directory_iterator(); it.increment(ec)) {
        if (ec)
            break;
        const std::string name = it->path().filename().string();
        if (name.starts_with('.') || name.ends_with(".tmp"))
            found.push_back(it->path().string());
    }
    return found;
}

} // namespace faults
