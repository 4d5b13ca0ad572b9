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
        float highest = 0.0f;
        for (int i = 0; i < SignatureRecord::PointCount; ++i) {
            const double a = r.pointAngle(i);
            double load = rnd.uniform(-0.15, 0.15); // noise floor of the gauge
            if (a > contact && a < release) {
                // Rises with forming, peaks at bottom dead centre, drops as
                // the ram reverses; a slight snap-through bump on the way down.
                const double rise = (a - contact) / (180 + skew - contact);
                const double fall = (release - a) / (release - 180 - skew);
                const double shape = a < 180 + skew ? std::pow(std::sin(rise * std::numbers::pi / 2), 2.2)
                                                    : std::pow(std::sin(fall * std::numbers::pi / 2), 1.4);
                load += peakLoad * shape * (1 + rnd.uniform(-0.01, 0.01));
                if (a > 180 + skew && a < 180 + skew + 4)
                    load -= peakLoad * 0.06 * std::sin((a - 180 - skew) * std::numbers::pi / 4);
            }
            const auto value = static_cast<float>(std::round(load * 100) / 100);
            r.setCurve(c, i, value);
            highest = std::max(highest, value);
        }
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
