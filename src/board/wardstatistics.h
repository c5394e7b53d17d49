#pragma once
// The ward over time, counted for the statistics window: occupied beds per
// day from the day snapshots, admissions and discharges per month from the
// history. A day without a snapshot, and a month before the history
// begins, have no count at all (a gap), never a zero.
#include <QDate>
#include <QList>
#include <QMap>

#include "core/history.h"

namespace velto {
struct AppContext;

// Occupied beds of each day in [from, to] whose snapshot holds a layout
// that reads whole; the key is the day.
QMap<QDate, int> occupiedBedsByDay(AppContext &ctx, const QDate &from, const QDate &to);

struct MonthCounts {
    int admissions = 0; // 入院 and 再入院
    int discharges = 0; // 退院（保存） and 退院（消去）
    bool operator==(const MonthCounts &o) const { return admissions == o.admissions && discharges == o.discharges; }
};
// The months from the history's first event (or from, when later) to to,
// keyed by their first day; a month with no event after the history began
// counts zero.
QMap<QDate, MonthCounts> movementsByMonth(const QList<HistoryEvent> &events, const QDate &from, const QDate &to);

} // namespace velto
