#pragma once
// The board's layout files of a full ward.
#include "benchutil.h"
#include "board/wardlayout.h"

namespace velto::bench {

// 240 occupied beds, 30 numbered rooms in different colours.
inline void writeLayout(const Ward &ward, const QString &folder, int shift = 0)
{
    QStringList beds, numbers, colours;
    for (int bed = 0; bed < BoardModel::BedCount; ++bed)
        beds << ward.keys.at((bed + shift) % ward.keys.size());
    for (int room = 0; room < BoardModel::RoomCount; ++room) {
        numbers << QString::number(201 + room + shift);
        colours << QString::number(BoardModel::storedColour(200 + room, 255 - room * 3, 180 + (room * 7) % 70));
    }
    QDir().mkpath(folder);
    QString error;
    if (!textfile::writeLines(folder + "/" + layoutfile::Beds, beds, &error)
        || !textfile::writeLines(folder + "/" + layoutfile::RoomNumbers, numbers, &error)
        || !textfile::writeLines(folder + "/" + layoutfile::RoomColours, colours, &error))
        qFatal("layout not written: %s", qPrintable(error));
}

} // namespace velto::bench
