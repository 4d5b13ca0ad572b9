#include "common/WorkerThreads.h"

#include <algorithm>
#include <system_error>
#include <thread>
#include <vector>

int runOnWorkerThreads(int wanted, const std::function<void()>& work,
                       const std::function<void(int started, int wanted, const std::string& why)>& onFewer)
{
    wanted = std::max(wanted, 1);
    std::vector<std::jthread> pool;
    pool.reserve(static_cast<std::size_t>(wanted - 1));
    for (int t = 1; t < wanted; ++t) {
        try {
            pool.emplace_back(work);
        } catch (const std::system_error& e) {
            // A task limit or a busy host: the threads running and this one
            // share the work, which takes longer but gets done.
            if (onFewer)
                onFewer(t, wanted, e.code().message());
            break;
        }
    }
    work();
    const int ran = static_cast<int>(pool.size()) + 1;
    for (auto& t : pool)
        t.join(); // before anything work refers to goes out of scope
    return ran;
}
