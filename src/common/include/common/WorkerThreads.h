#pragma once

#include <functional>
#include <string>

// Runs work on up to wanted threads at once, the calling thread among them,
// and returns when every one has returned. Each thread runs work once; work
// itself takes its units from a shared counter until none are left, so a run
// whose extra threads could not be started is finished by those that could
// (the calling thread at least). When fewer than wanted could be started,
// onFewer is called, on the calling thread before it joins in, with how many
// run and why no more did. Returns the number of threads that ran work.
int runOnWorkerThreads(int wanted, const std::function<void()>& work,
                       const std::function<void(int started, int wanted, const std::string& why)>& onFewer = {});
