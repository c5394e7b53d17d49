#pragma once
// The statistics' counts cut into unbroken runs, one line each: a day (or
// month) without a count ends a run, so a chart draws a gap there instead
// of a line through it.
#include <QDate>
#include <QList>

namespace velto {

enum class StatisticsStep { Day, Month };

// keys ascending (a QMap's); each run holds keys one step apart.
QList<QList<QDate>> unbrokenRuns(const QList<QDate> &keys, StatisticsStep step);

} // namespace velto
