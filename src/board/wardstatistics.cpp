#include "wardstatistics.h"

#include "boardmodel.h"
#include "core/appcontext.h"
#include "core/eradate.h"
#include "store/wardstore.h"

namespace velto {

QMap<QDate, int> occupiedBedsByDay(AppContext &ctx, const QDate &from, const QDate &to)
{
    QMap<QDate, int> counts;
    for (const QString &name : ctx.store->snapshots()) {
        QDate day;
        if (name.size() != SnapshotNameLength || !parseEraBirthDate(name, &day) || day < from || day > to)
            continue;
        // Only the beds are needed: a damaged layout is no count.
        const StoredLayout layout = ctx.store->readLayout(name);
        if (layout.beds.state != StoreRead::Read)
            continue;
        int occupied = 0;
        for (const QString &entry : layout.beds.lines)
            occupied += BoardModel::captionOf(entry).isEmpty() ? 0 : 1;
        counts.insert(day, occupied);
    }
    return counts;
}

QMap<QDate, MonthCounts> movementsByMonth(const QList<HistoryEvent> &events, const QDate &from, const QDate &to)
{
    QMap<QDate, MonthCounts> months;
    QDate first;
    for (const HistoryEvent &e : events) {
        const QDate day = QDate::fromString(e.time.left(10), QStringLiteral("yyyy/MM/dd"));
        if (day.isValid() && (!first.isValid() || day < first))
            first = day;
    }
    if (!first.isValid())
        return months; // no history yet: every month is a gap
    QDate month(std::max(first, from).year(), std::max(first, from).month(), 1);
    for (; month <= to; month = month.addMonths(1))
        months.insert(month, MonthCounts());
    for (const HistoryEvent &e : events) {
        const QDate day = QDate::fromString(e.time.left(10), QStringLiteral("yyyy/MM/dd"));
        const auto it = months.find(QDate(day.year(), day.month(), 1));
        if (!day.isValid() || it == months.end() || day < from || day > to)
            continue;
        if (e.kind == historykind::Admission || e.kind == historykind::Readmission)
            ++it->admissions;
        else if (e.kind == historykind::DischargeKept || e.kind == historykind::DischargeErased)
            ++it->discharges;
    }
    return months;
}

} // namespace velto
