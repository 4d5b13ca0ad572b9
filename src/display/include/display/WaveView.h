#pragma once

#include "display/WaveRecords.h"
#include "signature/SignatureRecord.h"

#include <array>
#include <cstdint>
#include <string>

// What the signature display shows. The program keeps one for the whole run
// and hands it to the display; tests make their own.
struct WaveView
{
    // The files handed over by View: up to five paths, slot k for wave k+1 (an
    // empty slot holds ""), and how many of them to show.
    std::array<std::string, MaxWaves> viewFileNames;
    std::int16_t viewFileCount = 0;
    // The records of the waves shown: slot k holds wave k+1. The load pass
    // fills them; the label, the curves and the printout read them, never the
    // files again.
    std::array<SignatureRecord, MaxWaves> waveRecords;
};
