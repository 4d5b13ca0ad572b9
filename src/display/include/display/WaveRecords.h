#pragma once

#include "signature/SignatureRecord.h"

#include <QList>
#include <QPointF>

#include <array>
#include <string>

// How many signatures the display shows at most, each as one wave.
constexpr int MaxWaves = 5;

// The display's one-line description: the single record's time, date, job and
// peaks when count is 1 or less, otherwise how many records are shown. Never
// longer than 255 characters (texts as raw single bytes).
std::string recordLabelText(const SignatureRecord& first, int count);

// How the display and its printout name a wave whose file could not be read.
inline constexpr const char* UnreadableWave = "(file could not be read)";

// The angle of every curve point of a record, at the record's own window: from
// its start one step (window / 448) after the other, by repeated addition in
// double precision. A record's points have always been placed this way, and a
// single record's curves must not move by a rounding.
using WaveAngles = std::array<double, SignatureRecord::PointCount>;
WaveAngles waveAngles(const SignatureRecord& record);

// The angles that hold the windows of all the given records: from the lowest
// end of any window to the highest (a window recorded backwards counts by its
// two ends). Both 0 when there is no record.
struct AngleSpan
{
    double min = 0;
    double max = 0;
};
AngleSpan windowSpan(const QList<const SignatureRecord*>& records);

// The points of one channel (0..3) of a record at the given angles; a value
// that is no sample is drawn as 0.0.
QList<QPointF> curvePoints(const SignatureRecord& record, int channel, const WaveAngles& angles);
