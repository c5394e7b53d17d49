#include "boardhistory.h"

#include "boardmodel.h"
#include "roomcolour.h"

namespace velto {

namespace {

QString positionInRoom(int bed)
{
    return QString::number(bed % BoardModel::BedsPerRoom + 1);
}

QString colourName(int stored)
{
    return colourFromStored(stored).name(QColor::HexRgb).toUpper();
}

} // namespace

QString historyRoomName(const BoardModel &model, int room)
{
    const QString number = model.roomNumber(room);
    return number.isEmpty() ? historydetail::UnnumberedRoom.arg(room + 1) : number;
}

QString historyBedPlace(const BoardModel &model, int bed)
{
    return historydetail::BedPlace.arg(historyRoomName(model, BoardModel::roomOf(bed)), positionInRoom(bed));
}

HistoryEvent bedEvent(const AppContext &ctx, const BoardModel &model, int bed, const QString &kind,
                      const QString &patientKey, const QString &detail)
{
    return newHistoryEvent(ctx, kind, historyRoomName(model, BoardModel::roomOf(bed)), positionInRoom(bed), patientKey,
                           detail);
}

void placeEventsAtBed(const BoardModel &model, int bed, QList<HistoryEvent> *events)
{
    for (HistoryEvent &e : *events) {
        if (e.room.isEmpty() && e.bed.isEmpty()) {
            e.room = historyRoomName(model, BoardModel::roomOf(bed));
            e.bed = positionInRoom(bed);
        }
    }
}

QList<HistoryEvent> bedMoveEvents(const AppContext &ctx, const BoardModel &model, int source, int target)
{
    const QString from = historyBedPlace(model, source);
    const QString to = historyBedPlace(model, target);
    const bool sourceFree = model.bedEntry(source).isEmpty();
    const bool targetFree = model.bedEntry(target).isEmpty();
    if (sourceFree && targetFree)
        return {};
    if (targetFree)
        return {bedEvent(ctx, model, source, historykind::BedMove, model.bedEntry(source),
                         historydetail::FromTo.arg(from, to))};
    if (sourceFree) // the patient in the target is the one who moves
        return {bedEvent(ctx, model, target, historykind::BedMove, model.bedEntry(target),
                         historydetail::FromTo.arg(to, from))};
    return {bedEvent(ctx, model, source, historykind::BedExchange, model.bedEntry(source),
                     historydetail::FromTo.arg(from, to)),
            bedEvent(ctx, model, target, historykind::BedExchange, model.bedEntry(target),
                     historydetail::FromTo.arg(to, from))};
}

QList<HistoryEvent> roomNumberEvents(const AppContext &ctx, const BoardModel &model, int room, const QString &before)
{
    const QString now = model.roomNumber(room);
    if (now == before)
        return {};
    const auto shown = [](const QString &n) { return n.isEmpty() ? historydetail::NoNumber : n; };
    return {newHistoryEvent(ctx, historykind::RoomNumber, historyRoomName(model, room), QString(), QString(),
                            historydetail::FromTo.arg(shown(before), shown(now)))};
}

QList<HistoryEvent> roomColourEvents(const AppContext &ctx, const BoardModel &model, int room, int before)
{
    const int now = model.roomColour(room);
    if (colourName(now) == colourName(before))
        return {};
    return {newHistoryEvent(ctx, historykind::RoomColour, historyRoomName(model, room), QString(), QString(),
                            historydetail::FromTo.arg(colourName(before), colourName(now)))};
}

} // namespace velto
