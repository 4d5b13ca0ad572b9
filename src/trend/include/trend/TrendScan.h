#pragma once

#include "analysis/StrokeSummary.h"
#include "common/RegularFile.h"

#include <QObject>
#include <QTimer>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

// A file the scan could not read, and why.
struct ScanFailure
{
    std::string path;
    std::string reason;
};

// What a scan handed over since the last batch.
struct TrendScanBatch
{
    std::vector<StrokeSummary> strokes;
    std::vector<ScanFailure> failures;
    std::size_t done = 0;  // files dealt with so far, read or not
    std::size_t total = 0; // files to read: known once the folder is listed
    // Why the scan could not go through its files at all (a folder that
    // cannot be listed, no memory left); empty otherwise.
    std::string error;
};

// Reads files for their stroke summaries on threads of its own and hands the
// results to the GUI thread in batches, a few times a second, so a window
// stays responsive over a hundred thousand files. A new scan, stop() or the
// scan's end leave nothing behind that could call into a window: the threads
// write only into a buffer of their own, which the GUI thread drains. Threads
// of abandoned scans finish on their own (they skip what is left once told
// to stop) and are waited for only when the scan object goes.
class TrendScan : public QObject
{
    Q_OBJECT
public:
    // How often the results are handed over, in milliseconds.
    static constexpr int DrainInterval = 50;

    explicit TrendScan(QObject* parent = nullptr);
    ~TrendScan() override;
    TrendScan(const TrendScan&) = delete;
    TrendScan& operator=(const TrendScan&) = delete;

    // Starts reading paths on up to jobs threads; a scan still running is
    // abandoned first: what it reads from then on is never handed over.
    void start(std::vector<std::string> paths, FinalLink links, int jobs);
    // The same for the signature files of a folder (and of the folders below
    // it), listed on the scan's thread, links neither followed nor read.
    // Subfolders that cannot be read are handed over as failures.
    void startFolder(std::string dir, bool subfolders, int jobs);
    // Asks the running scan to skip the files it has not started; what it has
    // read still comes, and finished follows.
    void stop();
    bool isRunning() const { return m_current != nullptr; }

    // Called on a scan thread after each file is read and before it is handed
    // over (index into the paths), one file at a time: while it waits, no
    // other file is handed over. For a test to hold a scan part-way.
    void setFileGate(std::function<void(std::size_t index)> gate) { m_gate = std::move(gate); }

    // The threads a scan asks for on this machine: its cores, but at least one.
    static int defaultJobs();

signals:
    // Emitted on the GUI thread and connected directly: a receiver may move
    // the strokes out of batch instead of copying thousands of them.
    void arrived(TrendScanBatch& batch);
    // After the last batch of the scan. stopped: files were left unread.
    void finished(bool stopped);

private:
    struct Shared;
    using Listing = std::function<std::vector<std::string>(Shared&)>;
    void launch(Listing list, FinalLink links, int jobs);
    void letFinishedThreadsGo();
    // The body of a scan's thread: lists, reads, and hands over into shared.
    static void run(Shared& shared, const Listing& list, FinalLink links, int jobs,
                    const std::function<void(std::size_t)>& gate);
    void drain();

    QTimer m_timer;
    std::shared_ptr<Shared> m_current;
    std::function<void(std::size_t)> m_gate;
    // Every scan's thread, also abandoned ones; joined when the object goes.
    std::vector<std::jthread> m_threads;
    std::vector<std::shared_ptr<Shared>> m_states; // beside m_threads, one each
};
