#pragma once
// The history's events of the board's changes: where they happened (the
// room's number as shown and the bed's position in its room) and what
// moved where.
#include <QList>
#include <QString>

#include "core/history.h"

namespace velto {
struct AppContext;
class BoardModel;

namespace historydetail {
// A bed: the room's number and the bed's position in it.
inline const QString BedPlace = QStringLiteral("%1 %2番");
// A room without a number: its place on the board, counted from 1.
inline const QString UnnumberedRoom = QStringLiteral("（%1室目）");
// A move or exchange, a room's new number or colour: before → after.
inline const QString FromTo = QStringLiteral("%1 → %2");
// An empty room number before or after a change.
inline const QString NoNumber = QStringLiteral("（なし）");
} // namespace historydetail

// The room's number as the history names it (its place when it has none).
QString historyRoomName(const BoardModel &model, int room);
// "101 3番".
QString historyBedPlace(const BoardModel &model, int bed);

// An event at a bed: its room and position filled in.
HistoryEvent bedEvent(const AppContext &ctx, const BoardModel &model, int bed, const QString &kind,
                      const QString &patientKey, const QString &detail = QString());
// Gives the events without a place the bed's: a record saved with the
// layout naming it happened at that bed.
void placeEventsAtBed(const BoardModel &model, int bed, QList<HistoryEvent> *events);

// The events of exchanging two beds' entries: a move of the one patient
// when the other bed is free, otherwise one exchange event for each
// patient, each from its bed to the other. Read from the model before the
// exchange.
QList<HistoryEvent> bedMoveEvents(const AppContext &ctx, const BoardModel &model, int source, int target);
// The event of a room's new number or colour, compared with before; none
// when nothing changed.
QList<HistoryEvent> roomNumberEvents(const AppContext &ctx, const BoardModel &model, int room, const QString &before);
QList<HistoryEvent> roomColourEvents(const AppContext &ctx, const BoardModel &model, int room, int before);

} // namespace velto
