#include "schedule/ScheduleEngine.h"
#include "TempDir.h"
#include "samplegen/SampleSignature.h"
#include "schedule/ScheduleClock.h"
#include "settings/ConverterSettings.h"

#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr double Minute = 1.0 / 1440.0;

class FakeClock : public ScheduleClock
{
public:
    double t = 20000.0 + 10.0 / 24; // some day, 10:00:00
    double now() const override { return t; }
};

// Records what the engine does to the window.
class FakeHost : public ScheduleHost
{
public:
    bool timer = false;
    bool lit = false;
    bool panel = false;
    std::string interval, remaining, problem;
    std::vector<std::string> list;
    int passes = 0;
    std::function<void()> duringPass;

    void setTimerEnabled(bool e) override { timer = e; }
    bool lampIsLit() override { return lit; }
    void setLampLit(bool l) override { lit = l; }
    void showReadouts(const std::string& i, const std::string& r) override
    {
        interval = i;
        remaining = r;
    }
    void showProblem(const std::string& t) override { problem = t; }
    void showPanel() override { panel = true; }
    void hidePanel() override { panel = false; }
    void replaceList(const std::vector<std::string>& p) override { list = p; }
    int itemCount() override { return static_cast<int>(list.size()); }
    std::string itemText(int i) override { return list.at(static_cast<std::size_t>(i)); }
    void showProgress(int) override { ++passes; }
    void setProgress(int) override {}
    void hideProgress() override {}
    void processPendingEvents() override
    {
        if (duringPass)
            duringPass();
    }
};

void writeSample(const std::string& path, std::uint32_t index)
{
    const SignatureRecord r = makeSampleSignature(index);
    writeWholeFile(path, std::string(reinterpret_cast<const char*>(r.bytes.data()), r.bytes.size()));
}

class ScheduleEngineTest : public ::testing::Test
{
protected:
    TempDir in, out;
    FakeClock clock;
    FakeHost host;
    SettingsRecord settings;
    SignatureRecord record;
    ScheduleEngine engine{host, clock, settings, record};

    void SetUp() override
    {
        settings.asReadDir = in.path().string();
        settings.asSaveDir = out.path().string();
        settings.asPrefix = "No Prefix";
    }
};

} // namespace

TEST(ScheduleElapsed, WholeMinutesThatStartAgainEveryDay)
{
    const double start = 20000.5;
    EXPECT_EQ(elapsedMinutes(start, start), 0);
    EXPECT_EQ(elapsedMinutes(start, start + 59.999 / 86400), 0);
    EXPECT_EQ(elapsedMinutes(start, start + 60.0 / 86400), 1);
    EXPECT_EQ(elapsedMinutes(start, start + 1439 * Minute + 59.0 / 86400), 1439);
    EXPECT_EQ(elapsedMinutes(start, start + 1.0), 0); // a whole day is dropped
    EXPECT_EQ(elapsedMinutes(start, start + 1.0 + 5 * Minute), 5);
    EXPECT_EQ(elapsedMinutes(start, start - 3 * Minute), 3); // a clock set back counts as well
}

// Interval 5 from 10:00:00 counts 5, 4, 3, 2, 1 down and converts at 10:05:00;
// the next interval begins when that pass has ended.
TEST_F(ScheduleEngineTest, CountsDownAndConvertsWhenTheIntervalIsOver)
{
    writeSample(in.file("H0001"), 0);
    writeSample(in.file("h0002"), 1);
    writeWholeFile(in.file("H0003.wav"), "not taken");
    settings.asInterval = 5;
    settings.asPrefix = "Press7";
    engine.start();
    EXPECT_TRUE(host.timer);

    std::vector<std::string> shown;
    for (int minute = 0; minute < 5; ++minute) {
        clock.t += 1.0 / 86400;
        engine.tick();
        shown.push_back(host.remaining);
        EXPECT_TRUE(host.timer);
        EXPECT_EQ(host.interval, "5");
        clock.t += Minute - 1.0 / 86400;
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"5", "4", "3", "2", "1"}));
    EXPECT_EQ(host.passes, 0);
    EXPECT_TRUE(host.panel);

    host.duringPass = [&] { clock.t += 2.0 / 86400; }; // each report takes two seconds
    engine.tick();                                     // 10:05:00
    EXPECT_EQ(host.remaining, "0");
    EXPECT_EQ(host.passes, 1);
    EXPECT_EQ(host.list, (std::vector<std::string>{in.file("H0001"), in.file("h0002")}));
    EXPECT_EQ(listDirectory(out.path()), "Press7-H0001.csv Press7-h0002.csv");
    EXPECT_DOUBLE_EQ(engine.intervalStart(), clock.t);
    EXPECT_TRUE(host.timer);
}

TEST_F(ScheduleEngineTest, LampBlinksEveryTick)
{
    settings.asInterval = 10;
    engine.start();
    std::vector<bool> lamp;
    for (int i = 0; i < 4; ++i) {
        engine.tick();
        lamp.push_back(host.lit);
    }
    EXPECT_EQ(lamp, (std::vector<bool>{true, false, true, false}));
}

TEST_F(ScheduleEngineTest, IntervalZeroHaltsAtTheFirstTick)
{
    settings.asInterval = 0;
    engine.start();
    engine.tick();
    EXPECT_FALSE(host.timer);
    EXPECT_FALSE(host.panel);
    EXPECT_EQ(host.remaining, "");
}

TEST_F(ScheduleEngineTest, NegativeIntervalPassesAtEveryTick)
{
    writeSample(in.file("H1"), 0);
    settings.asInterval = -5;
    engine.start();
    engine.tick();
    engine.tick();
    EXPECT_EQ(host.passes, 2);
    EXPECT_EQ(host.remaining, "-5");
}

TEST_F(ScheduleEngineTest, DayLongIntervalIsNeverReached)
{
    settings.asInterval = 1440;
    engine.start();
    for (int minute = 0; minute < 3000; minute += 7) {
        clock.t = engine.intervalStart() + minute * Minute;
        engine.tick();
        ASSERT_EQ(host.remaining, std::to_string(1440 - (minute % 1440))) << minute;
    }
    EXPECT_EQ(host.passes, 0);
}

// Stop while reports are written holds: the pass ends and the timer stays off.
TEST_F(ScheduleEngineTest, StopDuringAPassHolds)
{
    for (int i = 0; i < 4; ++i)
        writeSample(in.file("H" + std::to_string(i)), static_cast<std::uint32_t>(i));
    settings.asInterval = -1;
    engine.start();
    host.duringPass = [&] { engine.stop(); };
    engine.tick();
    EXPECT_FALSE(host.timer);
    EXPECT_FALSE(host.panel);
    EXPECT_EQ(listDirectory(out.path()), "H0.csv");
    EXPECT_EQ(host.list.size(), 4u); // the list keeps the pass's files
}

TEST_F(ScheduleEngineTest, UnreadableFolderIsShownAndTheScheduleWaitsForTheNextInterval)
{
    settings.asInterval = 1;
    settings.asReadDir = in.file("gone");
    engine.start();
    clock.t += Minute;
    engine.tick();
    EXPECT_EQ(host.problem, "Cannot read " + in.file("gone") + ": No such file or directory");
    EXPECT_TRUE(host.timer);
    EXPECT_DOUBLE_EQ(engine.intervalStart(), clock.t);

    ::mkdir(settings.asReadDir.c_str(), 0755);
    clock.t += Minute;
    engine.tick();
    EXPECT_EQ(host.problem, "");
    EXPECT_EQ(host.passes, 1);
}

TEST_F(ScheduleEngineTest, FailuresAreSkippedSilently)
{
    writeSample(in.file("H1"), 0);
    writeSample(in.file("H2"), 1);
    settings.asInterval = -1;
    settings.asSaveDir = out.file("missing");
    engine.start();
    engine.tick();
    EXPECT_EQ(host.passes, 1);
    EXPECT_TRUE(host.timer);
}

// A file the instrument has not finished writing, or an audio file that
// happens to fit the mask, gets no report in the save folder; an earlier
// report under its name stays, and the good files around it are converted.
TEST_F(ScheduleEngineTest, FilesThatAreNoSignatureAreSkipped)
{
    writeSample(in.file("H1"), 0);
    writeWholeFile(in.file("H2"), makeWaveAudio(16000));
    writeWholeFile(in.file("H3"), readWholeFile(in.file("H1")).substr(0, 20000));
    writeSample(in.file("H4"), 3);
    writeWholeFile(out.file("H3.csv"), "report of an earlier pass\r\n");
    settings.asInterval = -1;
    engine.start();
    engine.tick();
    EXPECT_EQ(host.passes, 1);
    EXPECT_EQ(listDirectory(out.path()), "H1.csv H3.csv H4.csv");
    EXPECT_EQ(readWholeFile(out.file("H3.csv")), "report of an earlier pass\r\n");
    EXPECT_TRUE(host.timer);
}

// Another user links a signature of someone else's (mode 0600, which root
// may still read) into the read folder. No pass copies it into a report,
// neither when the link is there at listing time nor when it takes the place
// of a listed file before the pass opens it.
TEST_F(ScheduleEngineTest, LinkInTheReadFolderIsNeverConverted)
{
    TempDir elsewhere;
    const std::string secret = elsewhere.file("secret");
    writeSample(secret, 7);
    ASSERT_EQ(::chmod(secret.c_str(), 0600), 0);
    if (::geteuid() == 0) {
        ASSERT_EQ(::chown(secret.c_str(), 65534, 65534), 0);
    }
    writeSample(in.file("H1"), 1);
    ASSERT_EQ(::symlink(secret.c_str(), in.file("H2").c_str()), 0);
    settings.asInterval = -1;
    engine.start();
    engine.tick();
    EXPECT_EQ(host.list, std::vector<std::string>{in.file("H1")});
    EXPECT_EQ(listDirectory(out.path()), "H1.csv");

    // Swapped in after the listing.
    ASSERT_EQ(::symlink(secret.c_str(), in.file("H3").c_str()), 0);
    host.list = {in.file("H1"), in.file("H3")};
    engine.runPass();
    EXPECT_EQ(listDirectory(out.path()), "H1.csv");
}

// A signature under its own report's name in the save folder is left as it
// is, not replaced by its report.
TEST_F(ScheduleEngineTest, FileThatIsItsOwnReportIsLeftAlone)
{
    writeSample(out.file("H1.csv"), 1);
    const std::string signature = readWholeFile(out.file("H1.csv"));
    writeSample(in.file("H2"), 2);
    host.list = {out.file("H1.csv"), in.file("H2")};
    engine.runPass();
    EXPECT_TRUE(readWholeFile(out.file("H1.csv")) == signature) << "the signature was replaced";
    EXPECT_EQ(listDirectory(out.path()), "H1.csv H2.csv");
}
