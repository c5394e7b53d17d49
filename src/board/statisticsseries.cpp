#include "statisticsseries.h"

namespace velto {

QList<QList<QDate>> unbrokenRuns(const QList<QDate> &keys, StatisticsStep step)
{
    QList<QList<QDate>> runs;
    for (const QDate &key : keys) {
        const bool follows
            = !runs.isEmpty()
              && (step == StatisticsStep::Day ? runs.last().last().addDays(1) : runs.last().last().addMonths(1)) == key;
        if (follows)
            runs.last() << key;
        else
            runs.append(QList<QDate> {key});
    }
    return runs;
}

} // namespace velto
