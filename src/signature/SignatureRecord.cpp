#include "signature/SignatureRecord.h"

#include <algorithm>
#include <bit>
#include <cstring>

std::string_view SignatureRecord::modeName() const
{
    switch (mode()) {
    case static_cast<std::int16_t>(Mode::Cal):
        return "CAL";
    case static_cast<std::int16_t>(Mode::Setup):
        return "SETUP";
    case static_cast<std::int16_t>(Mode::Monitor):
        return "MONITOR";
    default:
        return {};
    }
}

double SignatureRecord::eFactorValue(int channel) const
{
    return channel == 0 ? eFactor(channel) * 0.1 : eFactor(channel) / 10.1;
}

void SignatureRecord::clearNoSamples()
{
    for (int c = 0; c < ChannelCount; ++c)
        for (int i = 0; i < PointCount; ++i)
            if (isNoSample(curve(c, i)))
                setCurve(c, i, 0.0f);
}

double SignatureRecord::angleStep() const
{
    return (windowEndAngle() - windowStartAngle()) / double{PointCount};
}

std::string_view SignatureRecord::text(std::size_t offset, std::size_t room) const
{
    const char* begin = reinterpret_cast<const char*>(bytes.data() + offset);
    const void* nul = std::memchr(begin, 0, room);
    return {begin, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - begin) : room};
}

void SignatureRecord::setText(std::size_t offset, std::size_t room, std::string_view text)
{
    // Keeps a NUL inside the room whenever the text leaves space for one.
    const std::size_t n = std::min(text.size(), room);
    std::memcpy(bytes.data() + offset, text.data(), n);
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(offset + n),
              bytes.begin() + static_cast<std::ptrdiff_t>(offset + room), 0);
}

std::int16_t SignatureRecord::i16(std::size_t offset) const
{
    return static_cast<std::int16_t>(bytes[offset] | (bytes[offset + 1] << 8));
}

void SignatureRecord::setI16(std::size_t offset, std::int16_t v)
{
    const auto u = static_cast<std::uint16_t>(v);
    bytes[offset] = static_cast<std::uint8_t>(u);
    bytes[offset + 1] = static_cast<std::uint8_t>(u >> 8);
}

void SignatureRecord::setI32(std::size_t offset, std::int32_t v)
{
    const auto u = static_cast<std::uint32_t>(v);
    for (int k = 0; k < 4; ++k)
        bytes[offset + k] = static_cast<std::uint8_t>(u >> (8 * k));
}

void SignatureRecord::setF32(std::size_t offset, float v)
{
    setI32(offset, static_cast<std::int32_t>(std::bit_cast<std::uint32_t>(v)));
}
