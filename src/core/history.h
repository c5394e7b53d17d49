#pragma once
// The ward's history: who did what, when. One format for both stores: an
// event is one line of "log/history.WBD" (code page 932, CR LF, fields
// separated by tabs; a tab, CR, LF or backslash inside a value written as
// \t, \r, \n, \\) or one row of the database's table.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace velto {
struct AppContext;

namespace historykind {
inline const QString Admission = QStringLiteral("入院");
inline const QString RecordSave = QStringLiteral("記録保存");
inline const QString DischargeKept = QStringLiteral("退院（保存）");
inline const QString DischargeErased = QStringLiteral("退院（消去）");
inline const QString Readmission = QStringLiteral("再入院");
inline const QString Erasure = QStringLiteral("消去");
inline const QString BedMove = QStringLiteral("ベッド移動");
inline const QString BedExchange = QStringLiteral("ベッド交換");
inline const QString RoomNumber = QStringLiteral("部屋番号");
inline const QString RoomColour = QStringLiteral("部屋の色");
inline const QString SnapshotDeletion = QStringLiteral("バックアップ削除");
inline const QString StaffChange = QStringLiteral("スタッフ変更");
// Every kind, in the order the history window offers them.
const QStringList &all();
} // namespace historykind

struct HistoryEvent {
    QString id;   // a UUID: a replayed change never records it twice
    QString time; // yyyy/MM/dd HH:mm:ss
    QString loginId;
    QString staffName;
    QString kind; // one of historykind
    QString room; // the room's number as shown
    QString bed;  // the bed's position in its room, 1 to 8
    QString patientKey;
    QString detail;

    bool operator==(const HistoryEvent &o) const;
};

constexpr int HistoryFieldCount = 9;
// The folder store's history file, beside DB.
inline const QString HistoryFile = QStringLiteral("log/history.WBD");

// The event as one line, without its CR LF.
QString historyLine(const HistoryEvent &event);
// False for a line that is no event (a field too many or too few, a bad
// escape); *event is then unchanged.
bool parseHistoryLine(const QString &line, HistoryEvent *event);

// The events of a history file's bytes, oldest first. A last line without
// its CR LF is a torn write: it is no event, and *wholeBytes (when given)
// is the length of the part before it. Lines that cannot be read (not code
// page 932, not an event) are skipped and counted in *badLines.
QList<HistoryEvent> readHistory(const QByteArray &bytes, int *wholeBytes = nullptr, int *badLines = nullptr);
// An event of this run's account, now by the run's clock, under a new id.
HistoryEvent newHistoryEvent(const AppContext &ctx, const QString &kind, const QString &room, const QString &bed,
                             const QString &patientKey, const QString &detail = QString());

// The event's line as the file holds it, CR LF included; false with *error
// when a value cannot be held in code page 932.
bool encodeHistoryLine(const HistoryEvent &event, QByteArray *out, QString *error);

} // namespace velto
