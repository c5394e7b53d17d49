#include "historyfilter.h"

#include <QDir>
#include <QMap>
#include <QRegularExpression>
#include <algorithm>

#include "core/textfile.h"
#include "historytexts.h"

namespace velto {

namespace {

QString comparable(const QString &text)
{
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

QDate dayOf(const HistoryEvent &e)
{
    return QDate::fromString(e.time.left(10), QStringLiteral("yyyy/MM/dd"));
}

QString csvField(const QString &typed)
{
    // A spreadsheet would run a value starting like a formula (a name or a
    // note typed as "=..."); a leading quote keeps it text.
    static const QRegularExpression formulaStart(QStringLiteral("^[=+\\-@\t\r]"));
    const QString value = typed.contains(formulaStart) ? QLatin1Char('\'') + typed : typed;
    static const QRegularExpression needsQuotes(QStringLiteral("[\",\r\n]"));
    if (!value.contains(needsQuotes))
        return value;
    QString quoted = value;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString csvRow(const QStringList &fields)
{
    QStringList out;
    for (const QString &f : fields)
        out << csvField(f);
    return out.join(QLatin1Char(',')) + QLatin1String("\r\n");
}

} // namespace

bool patientMatches(const QString &patientKey, const QString &typed)
{
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    const QString key = comparable(patientKey);
    // NFKC turns the full-width space into a plain one.
    const QStringList words = comparable(typed).split(spaces, Qt::SkipEmptyParts);
    return std::all_of(words.cbegin(), words.cend(), [&key](const QString &w) { return key.contains(w); });
}

QList<HistoryEvent> filterHistory(const QList<HistoryEvent> &events, const HistoryFilter &filter)
{
    QList<HistoryEvent> shown;
    for (auto it = events.crbegin(); it != events.crend(); ++it) {
        const HistoryEvent &e = *it;
        if (filter.from.isValid() || filter.to.isValid()) {
            const QDate day = dayOf(e);
            if (!day.isValid() || (filter.from.isValid() && day < filter.from)
                || (filter.to.isValid() && day > filter.to))
                continue;
        }
        if (!filter.loginId.isEmpty() && e.loginId != filter.loginId)
            continue;
        if (!filter.patient.trimmed().isEmpty() && !patientMatches(e.patientKey, filter.patient))
            continue;
        shown << e;
    }
    // The history is appended in time order, but terminals' clocks differ.
    std::stable_sort(shown.begin(), shown.end(),
                     [](const HistoryEvent &a, const HistoryEvent &b) { return a.time > b.time; });
    return shown;
}

QList<QPair<QString, QString>> staffInHistory(const QList<HistoryEvent> &events)
{
    QMap<QString, QString> names;
    for (const HistoryEvent &e : events)
        if (!e.loginId.isEmpty())
            names.insert(e.loginId, e.staffName);
    QList<QPair<QString, QString>> staff;
    for (auto it = names.cbegin(); it != names.cend(); ++it)
        staff.append({it.key(), it.value()});
    return staff;
}

QString patientDisplayName(const QString &patientKey)
{
    const QStringList parts = patientKey.split(QLatin1Char('_'));
    if (parts.size() != 3)
        return patientKey;
    QString shown = parts[0] + QLatin1Char(' ') + parts[1];
    if (!parts[2].isEmpty())
        shown += QStringLiteral("（%1）").arg(parts[2]);
    return shown;
}

bool historyCsv(const QList<HistoryEvent> &events, QByteArray *out, QString *error)
{
    QString text = csvRow(historytext::Columns);
    for (const HistoryEvent &e : events)
        text += csvRow({e.time, e.loginId, e.staffName, e.kind, e.room, e.bed, e.patientKey, e.detail});
    return textfile::encode(text, out, error);
}

bool exportHistoryCsv(const QString &path, const QList<HistoryEvent> &events, QString *error)
{
    QByteArray bytes;
    QString why;
    if (!historyCsv(events, &bytes, &why)) {
        if (error)
            *error = why + QLatin1Char('\r') + QDir::toNativeSeparators(path);
        return false;
    }
    return textfile::writeAtomic(path, bytes, error);
}

} // namespace velto
