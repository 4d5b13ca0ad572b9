#pragma once

#include "signature/SignatureRecord.h"

#include <cstdint>
#include <string>

// A synthetic but physically plausible press stroke: the die closes, the load
// rises on all four corners, peaks near bottom dead centre (180 degrees) and
// falls away as the ram lifts. Channels differ slightly, as four load cells on
// an unevenly loaded bolster do. Same index, same bytes, on every machine.
SignatureRecord makeSampleSignature(std::uint32_t index);

// Stroke index of a production run of total strokes, for trends: two jobs in
// runs of a thousand strokes, one stroke every two seconds from 2 March 2026,
// peaks drifting up by 6% over the run as the die wears, about 1.5% noise, and
// one stroke in a hundred out of its limits on one channel.
SignatureRecord makeTrendSignature(std::uint32_t index, std::uint32_t total);

// The bytes of a real audio file: RIFF/WAVE, PCM, mono, 16-bit, 8 kHz, a tone
// of the given number of frames (44 bytes of header, two per frame). The
// open dialog's "*.wav" draws such files in beside signatures; 13,920 frames
// or more make one at least as long as a signature record.
std::string makeWaveAudio(std::uint32_t frames);
