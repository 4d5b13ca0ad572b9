#pragma once

#include "SignatureRecord.h"

#include <QList>
#include <QPointF>

#include <array>
#include <string>

// The records of the waves the display shows: slot k holds wave k+1. The load
// pass fills them; the label, the curves and the printout read them, never
// the files again.
extern std::array<SignatureRecord, 5> waveRecords;

constexpr int MaxWaves = 5;

// The display's one-line description: the single record's time, date, job and
// peaks when count is 1 or less, otherwise how many records are shown. Never
// longer than 255 characters (texts as raw single bytes).
std::string recordLabelText(const SignatureRecord& first, int count);

// A peak or load as the display and its printout show it: one decimal, a
// point as separator whatever the locale ("%.1f" in the C locale).
std::string fixed1(double value);

// The angle of every curve point on wave 1's scale: from its window's start,
// one step (window / 448) after the other by repeated addition, so that every
// wave is drawn on the same X values.
using WaveAngles = std::array<double, SignatureRecord::PointCount>;
WaveAngles waveAngles(const SignatureRecord& first);

// The points of one channel (0..3) of a record at the given angles; a value
// that is no sample is drawn as 0.0.
QList<QPointF> curvePoints(const SignatureRecord& record, int channel, const WaveAngles& angles);
