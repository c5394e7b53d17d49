#include "boardmodel.h"

namespace velto {

BoardModel::BoardModel(QObject *parent)
    : QObject(parent)
{
    for (int i = 0; i < BedCount; ++i)
        m_entries.append(QString());
    for (int i = 0; i < RoomCount; ++i) {
        m_roomNumbers.append(QString());
        m_roomColours.append(InitialRoomColour);
    }
}

QString BoardModel::captionOf(const QString &entry)
{
    const int p = entry.indexOf(QLatin1Char('_'));
    return p < 0 ? QString() : entry.left(p);
}

int BoardModel::storedColour(int red, int green, int blue)
{
    return (blue & 0xFF) * 65536 + (green & 0xFF) * 256 + (red & 0xFF);
}

QString BoardModel::bedEntry(int bed) const
{
    return isBed(bed) ? m_entries.at(bed) : QString();
}

QString BoardModel::bedCaption(int bed) const
{
    return captionOf(bedEntry(bed));
}

QString BoardModel::roomNumber(int room) const
{
    return isRoom(room) ? m_roomNumbers.at(room) : QString();
}

int BoardModel::roomColour(int room) const
{
    return isRoom(room) ? m_roomColours.at(room) : InitialRoomColour;
}

void BoardModel::setBedEntry(int bed, const QString &entry)
{
    if (!isBed(bed) || m_entries.at(bed) == entry)
        return;
    m_entries[bed] = entry;
    emit bedChanged(bed);
}

void BoardModel::exchangeBeds(int a, int b)
{
    if (!isBed(a) || !isBed(b) || a == b)
        return;
    const QString entryA = m_entries.at(a);
    setBedEntry(a, m_entries.at(b));
    setBedEntry(b, entryA);
}

void BoardModel::setRoomNumber(int room, const QString &text)
{
    if (!isRoom(room) || m_roomNumbers.at(room) == text)
        return;
    m_roomNumbers[room] = text;
    emit roomChanged(room);
}

void BoardModel::setRoomColour(int room, int stored)
{
    stored &= 0xFFFFFF;
    if (!isRoom(room) || m_roomColours.at(room) == stored)
        return;
    m_roomColours[room] = stored;
    emit roomChanged(room);
}

void BoardModel::reset()
{
    for (int i = 0; i < BedCount; ++i)
        clearBed(i);
    for (int i = 0; i < RoomCount; ++i) {
        setRoomNumber(i, QString());
        setRoomColour(i, InitialRoomColour);
    }
    m_stored.reset();
}

} // namespace velto
