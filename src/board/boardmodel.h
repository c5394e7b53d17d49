#pragma once
// The ward board: 240 beds in 30 rooms of 8. Bed b lies in room b / 8.
#include <QObject>
#include <optional>

#include "store/wardstore.h"
#include <QString>
#include <QStringList>
#include <QVector>

namespace velto {

class BoardModel : public QObject {
    Q_OBJECT
public:
    static constexpr int BedCount = 240;
    static constexpr int RoomCount = 30;
    static constexpr int BedsPerRoom = 8;
    static constexpr int RoomColumns = 6; // 5 rows of 6 rooms
    static constexpr int RoomNumberMaxLength = 20;
    // Colours are kept in their stored form: blue * 65536 + green * 256 + red.
    static constexpr int InitialRoomColour = 14737632; // E0E0E0, light grey

    explicit BoardModel(QObject *parent = nullptr);

    static bool isBed(int bed) { return bed >= 0 && bed < BedCount; }
    static bool isRoom(int room) { return room >= 0 && room < RoomCount; }
    static int roomOf(int bed) { return bed / BedsPerRoom; }
    // What a bed shows for an entry: the text before the first "_",
    // empty when there is no "_".
    static QString captionOf(const QString &entry);

    static int storedColour(int red, int green, int blue);
    static int red(int stored) { return stored & 0xFF; }
    static int green(int stored) { return (stored >> 8) & 0xFF; }
    static int blue(int stored) { return (stored >> 16) & 0xFF; }

    // Out-of-range indexes read as a free bed / an unnumbered grey room.
    QString bedEntry(int bed) const;
    QString bedCaption(int bed) const;
    bool isOccupied(int bed) const { return !bedCaption(bed).isEmpty(); }

    QString roomNumber(int room) const;
    int roomColour(int room) const;

    // Entry and caption always change together; out-of-range calls are ignored.
    void setBedEntry(int bed, const QString &entry);
    void clearBed(int bed) { setBedEntry(bed, QString()); }
    void exchangeBeds(int a, int b);
    void setRoomNumber(int room, const QString &text);
    void setRoomColour(int room, int storedColour);

    // The state before the very first save: free beds, no numbers, grey rooms.
    void reset();

    // Today's layout as the store held it when this board last read or
    // wrote it. A change names it as its base, so that a store shared by
    // several terminals writes only what this board changed, and refuses
    // the change when another terminal changed the same bed or room.
    const std::optional<LayoutLines> &storedLayout() const { return m_stored; }
    void setStoredLayout(std::optional<LayoutLines> layout) { m_stored = std::move(layout); }

signals:
    void bedChanged(int bed);
    void roomChanged(int room);

private:
    QStringList m_entries;
    QStringList m_roomNumbers;
    QVector<int> m_roomColours;
    std::optional<LayoutLines> m_stored;
};

} // namespace velto
