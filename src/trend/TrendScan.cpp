#include "trend/TrendScan.h"

#include "analysis/SummaryScan.h"
#include "convert/SignatureListing.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>

// What a scan's threads and the GUI thread share: the threads hold it as long
// as they run, so it outlives an abandoned scan and the object alike.
struct TrendScan::Shared
{
    std::mutex mutex;
    std::vector<StrokeSummary> strokes;
    std::vector<ScanFailure> failures;
    std::size_t done = 0;
    std::size_t total = 0;
    std::size_t skipped = 0;
    std::string error;
    std::atomic<bool> stop{false};
    std::atomic<bool> finished{false};
};

TrendScan::TrendScan(QObject* parent) : QObject(parent)
{
    m_timer.setInterval(DrainInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] { drain(); });
}

TrendScan::~TrendScan()
{
    // Every scan skips what it has left; the jthreads then wait only for the
    // files being read at this moment.
    for (const auto& state : m_states)
        state->stop = true;
}

int TrendScan::defaultJobs()
{
    return static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
}

void TrendScan::start(std::vector<std::string> paths, FinalLink links, int jobs)
{
    launch([paths = std::move(paths)](Shared&) mutable { return std::move(paths); }, links, jobs);
}

void TrendScan::startFolder(std::string dir, bool subfolders, int jobs)
{
    // A large tree takes a while to list: it is listed where the files are read.
    launch(
        [dir = std::move(dir), subfolders](Shared& shared) {
            StrokeFileListing listing = listStrokeFiles(dir, subfolders);
            const std::lock_guard lock(shared.mutex);
            if (!listing.status)
                shared.error = listing.status.reason;
            for (std::string& folder : listing.unreadable)
                shared.failures.push_back({std::move(folder), "the folder could not be read"});
            return std::move(listing.paths);
        },
        FinalLink::Refuse, jobs);
}

void TrendScan::letFinishedThreadsGo()
{
    // Threads of earlier scans that have finished are let go here, so a
    // window used all day keeps no more than the scans still winding down.
    for (std::size_t i = 0; i < m_states.size();) {
        if (m_states[i]->finished) {
            m_threads[i].join();
            m_threads.erase(m_threads.begin() + static_cast<std::ptrdiff_t>(i));
            m_states.erase(m_states.begin() + static_cast<std::ptrdiff_t>(i));
        } else {
            ++i;
        }
    }
}

void TrendScan::run(Shared& shared, const Listing& list, FinalLink links, int jobs,
                    const std::function<void(std::size_t)>& gate)
{
    std::vector<std::string> paths;
    try {
        paths = list(shared);
    } catch (const std::exception& e) {
        const std::lock_guard lock(shared.mutex);
        shared.error = e.what();
    }
    {
        const std::lock_guard lock(shared.mutex);
        shared.total = paths.size();
    }
    SummaryScanOptions options;
    options.jobs = jobs;
    options.links = links;
    options.stop = &shared.stop;
    options.onFile = [&](std::size_t index, ScannedFile& file) {
        if (file.skipped) {
            const std::lock_guard lock(shared.mutex);
            ++shared.done;
            ++shared.skipped;
            return;
        }
        if (gate)
            gate(index);
        const std::lock_guard lock(shared.mutex);
        ++shared.done;
        if (file.summary)
            shared.strokes.push_back(std::move(*file.summary));
        else
            shared.failures.push_back(
                {paths[index], file.io.reason.empty() ? std::string("could not be read") : file.io.reason});
    };
    try {
        summariseFiles(paths, options);
    } catch (const std::exception& e) {
        // Out of memory: the window says the scan ended short.
        const std::lock_guard lock(shared.mutex);
        shared.error = e.what();
    }
    shared.finished = true;
}

void TrendScan::launch(Listing list, FinalLink links, int jobs)
{
    if (m_current)
        m_current->stop = true;
    letFinishedThreadsGo();

    auto shared = std::make_shared<Shared>();
    m_current = shared;
    m_states.push_back(shared);
    m_threads.emplace_back(
        [shared, list = std::move(list), links, jobs, gate = m_gate] { run(*shared, list, links, jobs, gate); });
    m_timer.start();
}

void TrendScan::stop()
{
    if (m_current)
        m_current->stop = true;
}

void TrendScan::drain()
{
    if (!m_current) {
        m_timer.stop();
        return;
    }
    // Whether the scan had finished is read before the buffer is taken, so
    // nothing it handed over before finishing is left behind.
    const bool ended = m_current->finished;
    TrendScanBatch batch;
    bool stopped = false;
    {
        const std::lock_guard lock(m_current->mutex);
        batch.strokes.swap(m_current->strokes);
        batch.failures.swap(m_current->failures);
        batch.done = m_current->done;
        batch.total = m_current->total;
        batch.error.swap(m_current->error);
        stopped = m_current->skipped > 0;
    }
    if (ended) {
        m_timer.stop();
        m_current.reset();
    }
    emit arrived(batch);
    if (ended)
        emit finished(stopped);
}
