#pragma once

#include "SignatureRecord.h"

#include <cstdint>

// A synthetic but physically plausible press stroke: the die closes, the load
// rises on all four corners, peaks near bottom dead centre (180 degrees) and
// falls away as the ram lifts. Channels differ slightly, as four load cells on
// an unevenly loaded bolster do. Same index, same bytes, on every machine.
SignatureRecord makeSampleSignature(std::uint32_t index);
