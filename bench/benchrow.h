#pragma once
// Medians and the result rows that scripts/bench.sh gathers into one table:
// "ROW", then figure, value, baseline, ratio, goal and whether it is met,
// separated by tabs.
#include <QElapsedTimer>
#include <QList>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>

namespace velto::bench {

inline double median(QList<double> v)
{
    std::sort(v.begin(), v.end());
    return v.isEmpty() ? -1 : v.at(v.size() / 2);
}

// Repetitions: the first argument, else the default.
inline int runsFrom(int argc, char *argv[], int fallback)
{
    return argc > 1 ? std::max(3, atoi(argv[1])) : fallback;
}

inline double msSince(const QElapsedTimer &t)
{
    return t.nsecsElapsed() / 1e6;
}

// Median milliseconds of `runs` calls of step, after one call to warm up;
// prepare (untimed) runs before each call.
inline double timeMedian(int runs, const std::function<void()> &step, const std::function<void()> &prepare = {})
{
    QList<double> v;
    for (int i = 0; i <= runs; ++i) {
        if (prepare)
            prepare();
        QElapsedTimer t;
        t.start();
        step();
        if (i > 0)
            v << msSince(t);
    }
    return median(v);
}

// One table row for bench.sh: figure, value, baseline, goal text and whether
// the goal is met. A ratio goal compares value/baseline, an absolute goal the value.
struct Goal {
    double maxRatio = 0;     // 0: no ratio goal
    double maxValue = 0;     // 0: no absolute goal
    bool strictValue = true; // value < maxValue (else <=)
};

inline void printRow(const char *figure, double value, double baseline, const char *baselineName, const Goal &goal,
                     const char *unit = "ms")
{
    const double ratio = baseline > 0 ? value / baseline : 0;
    QStringList goals;
    bool met = value >= 0;
    if (goal.maxRatio > 0) {
        goals << QStringLiteral("≤ %1×").arg(goal.maxRatio, 0, 'f', 1);
        met = met && baseline > 0 && ratio <= goal.maxRatio;
    }
    if (goal.maxValue > 0) {
        goals << QStringLiteral("%1 %2 %3").arg(goal.strictValue ? "<" : "≤").arg(goal.maxValue).arg(unit);
        met = met && (goal.strictValue ? value < goal.maxValue : value <= goal.maxValue);
    }
    const bool reference = goal.maxRatio <= 0 && goal.maxValue <= 0;
    if (reference)
        goals << QStringLiteral("— (reference)");
    const QString base = baseline > 0
                             ? QStringLiteral("%1 %2 (%3)").arg(baseline, 0, 'f', 2).arg(unit).arg(baselineName)
                             : QStringLiteral("—");
    std::printf("ROW\t%s\t%.2f %s\t%s\t%s\t%s\t%s\n", figure, value, unit, qPrintable(base),
                baseline > 0 ? qPrintable(QStringLiteral("%1").arg(ratio, 0, 'f', 2)) : "—",
                qPrintable(goals.join(QStringLiteral(", "))),
                reference ? "—"
                : met     ? "yes"
                          : "NO");
    std::fflush(stdout);
}

} // namespace velto::bench
