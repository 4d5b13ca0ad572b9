#include "samplegen/SampleSignature.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

// splitmix64: tiny, and the same sequence everywhere (the standard
// distributions are not).
class Random
{
public:
    explicit Random(std::uint64_t seed) : m_state(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (m_state += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }
    double uniform(double lo, double hi) { return lo + (hi - lo) * static_cast<double>(next() >> 11) * 0x1.0p-53; }
    int integer(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<std::uint64_t>(hi - lo + 1)); }

private:
    std::uint64_t m_state;
};

constexpr const char* Jobs[] = {"BRACKET-L 4412", "HINGE PLATE 7", "RAIL CLIP 220", "DOOR PANEL RH", "FLANGE 38-B",
                                "COVER 5501",     "STRUT MNT A",   "SEAT TRACK 9",  "BUSBAR 16MM",   "TAB WASHER"};

// The forming window of one stroke.
struct StrokeShape
{
    double peakLoad;
    double contact; // angle where the die closes
    double release; // angle where the ram lifts off the part
    double skew;    // peak this far off bottom dead centre
};

// Draws channel's curve into r and returns its highest value.
float drawStroke(SignatureRecord& r, int channel, const StrokeShape& shape, Random& rnd)
{
    float highest = 0.0f;
    for (int i = 0; i < SignatureRecord::PointCount; ++i) {
        const double a = r.pointAngle(i);
        double load = rnd.uniform(-0.15, 0.15); // noise floor of the gauge
        if (a > shape.contact && a < shape.release) {
            // Rises with forming, peaks at bottom dead centre, drops as the
            // ram reverses; a slight snap-through bump on the way down.
            const double bdc = 180 + shape.skew;
            const double rise = (a - shape.contact) / (bdc - shape.contact);
            const double fall = (shape.release - a) / (shape.release - bdc);
            const double form = a < bdc ? std::pow(std::sin(rise * std::numbers::pi / 2), 2.2)
                                        : std::pow(std::sin(fall * std::numbers::pi / 2), 1.4);
            load += shape.peakLoad * form * (1 + rnd.uniform(-0.01, 0.01));
            if (a > bdc && a < bdc + 4)
                load -= shape.peakLoad * 0.06 * std::sin((a - bdc) * std::numbers::pi / 4);
        }
        const auto value = static_cast<float>(std::round(load * 100) / 100);
        r.setCurve(channel, i, value);
        highest = std::max(highest, value);
    }
    return highest;
}

} // namespace

// NOLINTNEXTLINE(readability-function-size): the record's fields in file order, read as one layout
SignatureRecord makeSampleSignature(std::uint32_t index)
{
    Random rnd(0x5157'4082ULL * (index + 1));
    SignatureRecord r;

    r.setJobName(Jobs[index % std::size(Jobs)]);
    r.setMode(index % 7 == 3 ? 2 : 4); // mostly MONITOR, now and then SETUP
    char text[32];
    std::snprintf(text, sizeof text, "%02d/%02d/2026", 1 + (index / 28) % 12, 1 + index % 28);
    r.setDateText(text);
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", 6 + (index * 7) % 14, (index * 13) % 60, (index * 29) % 60);
    r.setTimeText(text);

    r.setStrokesPerMinute(static_cast<std::int16_t>(rnd.integer(24, 60)));
    r.setStrokeCount(static_cast<std::int32_t>(100000 + index * 37 + rnd.integer(0, 30)));
    r.setWindowStartAngle(90);
    r.setWindowEndAngle(314);
    r.setStepDegreeTenths(5);
    r.setToleranceInTons(index % 4 == 2);

    const double capacity = 100 + 25 * rnd.integer(0, 4); // tons per corner
    const double nominal = capacity * rnd.uniform(0.35, 0.7);
    const double contact = rnd.uniform(140, 152);     // die closes
    const double release = 180 + rnd.uniform(14, 26); // ram lifts off the part
    const double skew = rnd.uniform(-1.5, 1.5);       // peak a little off BDC
    const double corner[4] = {1.0, rnd.uniform(0.88, 1.08), rnd.uniform(0.9, 1.1), rnd.uniform(0.85, 1.05)};

    for (int c = 0; c < SignatureRecord::ChannelCount; ++c) {
        const double peakLoad = nominal * corner[c];
        const float highest = drawStroke(r, c, {peakLoad, contact, release, skew}, rnd);
        r.setPeak(c, highest);
        r.setCapacity(c, static_cast<std::int16_t>(capacity));
        r.setTarget(c, static_cast<std::int16_t>(std::round(peakLoad)));
        r.setSample(c, static_cast<std::int16_t>(rnd.integer(1, 8)));
        r.setPlusTolerance(c, static_cast<std::int16_t>(r.toleranceInTons() ? 6 : 10));
        r.setMinusTolerance(c, static_cast<std::int16_t>(r.toleranceInTons() ? 8 : 15));
        r.setEFactor(c, static_cast<std::int16_t>(c == 0 ? rnd.integer(95, 110) : rnd.integer(96, 112)));
    }
    // Some gauges miss the first points of the window after a restart; the
    // monitor marks them as no sample.
    if (index % 5 == 4)
        for (int i = 0; i < 6; ++i)
            r.setCurve(3, i, -10000.0f);
    return r;
}

namespace {

// The two jobs of a trend set, each with its own die: capacity, targets and
// tolerances are the same on every stroke of a job, as on a real press.
struct TrendJob
{
    const char* name;
    std::int16_t capacity;
    std::int16_t target[4];
    bool toleranceInLoad;
    std::int16_t plusTol;
    std::int16_t minusTol;
};
constexpr TrendJob TrendJobs[2] = {{"BRACKET-L 4412", 150, {80, 76, 82, 78}, false, 10, 10},
                                   {"HINGE PLATE 7", 100, {52, 50, 55, 49}, true, 5, 5}};

} // namespace

// NOLINTNEXTLINE(readability-function-size): the record's fields in file order, read as one layout
SignatureRecord makeTrendSignature(std::uint32_t index, std::uint32_t total)
{
    Random rnd(0x7E4D'4082ULL * (index + 1));
    SignatureRecord r;
    const TrendJob& job = TrendJobs[(index / 1000) % 2]; // runs of a thousand strokes

    r.setJobName(job.name);
    r.setMode(4);
    // One stroke every two seconds from 2 March 2026, 06:00:00.
    const long long at = 6 * 3600 + 2LL * index;
    const int day = static_cast<int>(at / 86400);
    const int secs = static_cast<int>(at % 86400);
    char text[32];
    std::snprintf(text, sizeof text, "%d/%d/2026", 3 + (1 + day) / 31, 1 + (1 + day) % 31);
    r.setDateText(text);
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", secs / 3600, secs / 60 % 60, secs % 60);
    r.setTimeText(text);
    r.setStrokesPerMinute(30);
    r.setStrokeCount(static_cast<std::int32_t>(250000 + index));
    r.setWindowStartAngle(90);
    r.setWindowEndAngle(314);
    r.setStepDegreeTenths(5);
    r.setToleranceInTons(job.toleranceInLoad);

    // The die wears: peaks drift up by 6% over the set, with about 1.5%
    // noise; one stroke in a hundred leaves the limits on one channel (a
    // double blank, a missing part).
    const double drift = 0.97 + 0.06 * index / std::max<std::uint32_t>(total, 1);
    const bool outlier = rnd.uniform(0, 1) < 0.01;
    const int outlierChannel = rnd.integer(0, 3);
    const double outlierFactor = rnd.uniform(0, 1) < 0.7 ? 1.22 : 0.75;
    const double contact = rnd.uniform(144, 148);
    const double release = 180 + rnd.uniform(18, 22);
    const double skew = rnd.uniform(-0.5, 0.5);
    for (int c = 0; c < SignatureRecord::ChannelCount; ++c) {
        const double noise = (rnd.uniform(-1, 1) + rnd.uniform(-1, 1) + rnd.uniform(-1, 1)) * 0.015;
        double peakLoad = job.target[c] * drift * (1 + noise);
        if (outlier && c == outlierChannel)
            peakLoad *= outlierFactor;
        r.setPeak(c, drawStroke(r, c, {peakLoad, contact, release, skew}, rnd));
        r.setCapacity(c, job.capacity);
        r.setTarget(c, job.target[c]);
        r.setSample(c, 4);
        r.setPlusTolerance(c, job.plusTol);
        r.setMinusTolerance(c, job.minusTol);
        r.setEFactor(c, 100);
    }
    return r;
}

std::string makeWaveAudio(std::uint32_t frames)
{
    constexpr std::uint32_t Rate = 8000;
    constexpr std::uint16_t Channels = 1, Bits = 16, BlockAlign = Channels * Bits / 8;
    const std::uint32_t dataBytes = frames * BlockAlign;
    std::string out;
    auto put = [&out](std::uint64_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    out += "RIFF";
    put(36 + dataBytes, 4);
    out += "WAVEfmt ";
    put(16, 4); // size of the format chunk
    put(1, 2);  // PCM
    put(Channels, 2);
    put(Rate, 4);
    put(Rate * BlockAlign, 4);
    put(BlockAlign, 2);
    put(Bits, 2);
    out += "data";
    put(dataBytes, 4);
    for (std::uint32_t i = 0; i < frames; ++i) // 440 Hz at a quarter of full scale
        put(static_cast<std::uint16_t>(std::lround(8192 * std::sin(2 * std::numbers::pi * 440 * i / Rate))), 2);
    return out;
}
