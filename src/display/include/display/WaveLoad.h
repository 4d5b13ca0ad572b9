#pragma once

#include "display/WaveRecords.h"
#include "signature/SignatureRecord.h"

#include <QStringList>

#include <array>
#include <string>

class SignatureChart;

// Which waves (slot k for wave k+1) the last load pass could not read.
using UnreadableWaves = std::array<bool, MaxWaves>;

// Reads the files of waves 1..count (stopping at the first empty name) into
// records, each through reading and copied whole into its slot. A file that
// cannot be read leaves its slot zeroed and its flag in unreadable set, so no
// wave is ever shown under another file's name; slots past the files read keep
// their records and flags. Returns one line for each file that could not be
// read, with the reader's reason.
QStringList readWaveFiles(const std::array<std::string, MaxWaves>& paths, int count, SignatureRecord& reading,
                          std::array<SignatureRecord, MaxWaves>& records, UnreadableWaves& unreadable);

// Draws waves 1..count of records into chart, every wave at its own record's
// angles, the bottom axis holding every drawn wave's window. A wave past
// count or unreadable is emptied and leaves the legend.
void drawWaves(SignatureChart& chart, const std::array<SignatureRecord, MaxWaves>& records, int count,
               const UnreadableWaves& unreadable);

// Empties every curve and takes it out of the legend.
void clearWaves(SignatureChart& chart);
// Sets chart up as the display starts it (thin curves), for the window and
// for the charts drawn from the command line, which must look the same.
void startWaveChart(SignatureChart& chart);
