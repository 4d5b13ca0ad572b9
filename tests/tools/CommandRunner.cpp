#include "CommandRunner.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

pid_t startConverter(const std::vector<std::string>& args, const TempDir& scratch)
{
    const std::string outPath = scratch.file("stdout"), errPath = scratch.file("stderr");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> all{QD_CONVERT_EXE};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& a : all)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, QD_CONVERT_EXE, &actions, nullptr, argv.data(), environ) != 0)
        pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    return pid;
}

CommandRun finishConverter(pid_t pid, const TempDir& scratch, int seconds)
{
    CommandRun run;
    int status = 0;
    const bool ended = pid > 0 && waitFor([&] { return ::waitpid(pid, &status, WNOHANG) == pid; }, seconds);
    if (ended) {
        run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    } else if (pid > 0) {
        ::kill(pid, SIGKILL);
        ::waitpid(pid, &status, 0);
        ADD_FAILURE() << "quorvex-convert still ran after " << seconds << " s";
    }
    run.out = readWholeFile(scratch.file("stdout"));
    run.err = readWholeFile(scratch.file("stderr"));
    return run;
}

CommandRun runConverter(const std::vector<std::string>& args, const TempDir& scratch)
{
    return finishConverter(startConverter(args, scratch), scratch);
}

bool waitFor(const std::function<bool()>& done, int seconds)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return done();
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
}
