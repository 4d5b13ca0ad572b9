// Soak of the auto schedule: 10,000 one-second ticks with a fake clock over a
// folder of 200 signature files (a pass every tenth tick), printing the
// resident memory as it goes so growth shows. Run it under LeakSanitizer or
// valgrind for leaks.
#include "samplegen/SampleSignature.h"
#include "schedule/ScheduleClock.h"
#include "schedule/ScheduleEngine.h"
#include "settings/ConverterSettings.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

class FakeClock : public ScheduleClock
{
public:
    double t = 20000.0;
    double now() const override { return t; }
};

class ListHost : public ScheduleHost
{
public:
    std::vector<std::string> list;
    long passes = 0;
    bool lit = false;
    void setTimerEnabled(bool) override {}
    bool lampIsLit() override { return lit; }
    void setLampLit(bool l) override { lit = l; }
    void showReadouts(const std::string&, const std::string&) override {}
    void showProblem(const std::string&) override {}
    void showPanel() override {}
    void hidePanel() override {}
    void replaceList(const std::vector<std::string>& p) override { list = p; }
    int itemCount() override { return static_cast<int>(list.size()); }
    std::string itemText(int i) override { return list[static_cast<std::size_t>(i)]; }
    void showProgress(int) override { ++passes; }
    void setProgress(int) override {}
    void hideProgress() override {}
    void processPendingEvents() override {}
};

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

} // namespace

int main(int argc, char** argv)
{
    const int ticks = argc > 1 ? std::atoi(argv[1]) : 10000;
    const auto root = std::filesystem::temp_directory_path() / ("qd-soak-" + std::to_string(::getpid()));
    std::filesystem::create_directories(root / "in");
    std::filesystem::create_directories(root / "out");
    for (int i = 0; i < 200; ++i) {
        const SignatureRecord r = makeSampleSignature(static_cast<std::uint32_t>(i));
        std::ofstream((root / "in" / ("H" + std::to_string(1000 + i))).string(), std::ios::binary)
            .write(reinterpret_cast<const char*>(r.bytes.data()), static_cast<std::streamsize>(r.bytes.size()));
    }
    SettingsRecord settings;
    settings.asInterval = 1;
    settings.asReadDir = (root / "in").string();
    settings.asSaveDir = (root / "out").string();
    FakeClock clock;
    ListHost host;
    SignatureRecord record;
    ScheduleEngine engine(host, clock, settings, record);
    engine.start();
    for (int i = 1; i <= ticks; ++i) {
        clock.t += 6.0 / 86400; // six seconds a tick: a pass every tenth tick
        engine.tick();
        if (i % 1000 == 0)
            std::printf("tick %5d: %ld passes, resident %ld kB\n", i, host.passes, residentKb());
    }
    std::filesystem::remove_all(root);
    return 0;
}
