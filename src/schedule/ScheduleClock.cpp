#include "schedule/ScheduleClock.h"

#include <QDateTime>

double SystemClock::now() const
{
    const QDateTime t = QDateTime::currentDateTime();
    const qint64 localMs = t.toMSecsSinceEpoch() + qint64(t.offsetFromUtc()) * 1000;
    return static_cast<double>(localMs) / 86400000.0;
}
