#include "history.h"

#include <QDateTime>
#include <QUuid>

#include "appcontext.h"
#include "textfile.h"

namespace velto {

namespace historykind {
const QStringList &all()
{
    static const QStringList kinds {Admission,   RecordSave, DischargeKept,    DischargeErased,
                                    Readmission, Erasure,    BedMove,          BedExchange,
                                    RoomNumber,  RoomColour, SnapshotDeletion, StaffChange};
    return kinds;
}
} // namespace historykind

namespace {

QString escaped(const QString &value)
{
    QString out;
    out.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '\\':
            out += QLatin1String("\\\\");
            break;
        case '\t':
            out += QLatin1String("\\t");
            break;
        case '\r':
            out += QLatin1String("\\r");
            break;
        case '\n':
            out += QLatin1String("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool unescaped(const QString &field, QString *out)
{
    out->clear();
    for (int i = 0; i < field.size(); ++i) {
        const QChar c = field.at(i);
        if (c != QLatin1Char('\\')) {
            *out += c;
            continue;
        }
        if (++i >= field.size())
            return false;
        switch (field.at(i).unicode()) {
        case '\\':
            *out += QLatin1Char('\\');
            break;
        case 't':
            *out += QLatin1Char('\t');
            break;
        case 'r':
            *out += QLatin1Char('\r');
            break;
        case 'n':
            *out += QLatin1Char('\n');
            break;
        default:
            return false;
        }
    }
    return true;
}

QString HistoryEvent::*const Fields[HistoryFieldCount] = {
    &HistoryEvent::id,   &HistoryEvent::time, &HistoryEvent::loginId,    &HistoryEvent::staffName, &HistoryEvent::kind,
    &HistoryEvent::room, &HistoryEvent::bed,  &HistoryEvent::patientKey, &HistoryEvent::detail,
};

} // namespace

bool HistoryEvent::operator==(const HistoryEvent &o) const
{
    for (QString HistoryEvent::*f : Fields)
        if (this->*f != o.*f)
            return false;
    return true;
}

QString historyLine(const HistoryEvent &event)
{
    QStringList parts;
    for (QString HistoryEvent::*f : Fields)
        parts << escaped(event.*f);
    return parts.join(QLatin1Char('\t'));
}

bool parseHistoryLine(const QString &line, HistoryEvent *event)
{
    const QStringList parts = line.split(QLatin1Char('\t'));
    if (parts.size() != HistoryFieldCount)
        return false;
    HistoryEvent e;
    for (int i = 0; i < HistoryFieldCount; ++i)
        if (!unescaped(parts.at(i), &(e.*Fields[i])))
            return false;
    if (e.id.isEmpty())
        return false;
    *event = e;
    return true;
}

QList<HistoryEvent> readHistory(const QByteArray &bytes, int *wholeBytes, int *badLines)
{
    // Only what ends in CR LF was written whole.
    const qsizetype lastEnd = bytes.lastIndexOf("\r\n");
    const int whole = lastEnd < 0 ? 0 : int(lastEnd) + 2;
    if (wholeBytes)
        *wholeBytes = whole;
    if (badLines)
        *badLines = 0;
    QList<HistoryEvent> events;
    if (whole <= 0)
        return events;
    QStringList lines;
    QList<int> bad;
    textfile::decodeLinesEach(bytes.left(whole), &lines, &bad);
    for (int i = 0; i < lines.size(); ++i) {
        HistoryEvent e;
        if (bad.contains(i + 1) || !parseHistoryLine(lines.at(i), &e)) {
            if (badLines)
                ++*badLines;
            continue;
        }
        events.append(e);
    }
    return events;
}

bool encodeHistoryLine(const HistoryEvent &event, QByteArray *out, QString *error)
{
    QByteArray bytes;
    if (!textfile::encode(historyLine(event), &bytes, error))
        return false;
    *out = bytes + "\r\n";
    return true;
}

HistoryEvent newHistoryEvent(const AppContext &ctx, const QString &kind, const QString &room, const QString &bed,
                             const QString &patientKey, const QString &detail)
{
    const QDateTime now = ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime();
    return {QUuid::createUuid().toString(QUuid::WithoutBraces),
            now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
            ctx.currentAccount.loginId,
            ctx.currentAccount.staffName,
            kind,
            room,
            bed,
            patientKey,
            detail};
}

} // namespace velto
