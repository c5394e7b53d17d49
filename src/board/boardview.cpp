#include "boardview.h"

#include <QtMath>
#include <algorithm>

#include "boardmodel.h"

namespace velto {

namespace {

constexpr int Rows = BoardModel::RoomCount / BoardModel::RoomColumns;
constexpr int BedRows = BoardModel::BedsPerRoom / 2;
constexpr int NameChars = 4; // full-width characters a bed must hold (longer names are elided)

double linear(double c)
{
    c /= 255.0;
    return c <= 0.03928 ? c / 12.92 : qPow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &c)
{
    return 0.2126 * linear(c.red()) + 0.7152 * linear(c.green()) + 0.0722 * linear(c.blue());
}

} // namespace

BoardMetrics boardMetrics(const QSize &area)
{
    BoardMetrics m;
    m.roomSpacing = 6;
    m.padding = 4;
    m.bedSpacing = 2;
    const int roomWidth = (area.width() - (BoardModel::RoomColumns + 1) * m.roomSpacing) / BoardModel::RoomColumns;
    const int roomHeight = (area.height() - (Rows + 1) * m.roomSpacing) / Rows;
    // A room's height: padding, the number line (1.2 of the text) and four
    // beds (1.3 of the text each) with their spacing.
    const int fixedHeight = 2 * m.padding + (BedRows - 1) * m.bedSpacing;
    const double byHeight = (roomHeight - fixedHeight) / (1.2 + BedRows * 1.3);
    const int bedWidth = (roomWidth - 2 * m.padding - m.bedSpacing) / 2;
    const double byWidth = (bedWidth - 6) / double(NameChars);
    m.fontPixels = std::max(MinimumBoardFontPixels, int(std::floor(std::min(byHeight, byWidth))));
    m.labelHeight = int(std::ceil(m.fontPixels * 1.2));
    return m;
}

QColor roomNumberColour(const QColor &room)
{
    // Contrast ratios against black (L + 0.05) / 0.05 and white 1.05 / (L + 0.05).
    const double l = luminance(room);
    return (l + 0.05) / 0.05 >= 1.05 / (l + 0.05) ? QColor(Qt::black) : QColor(Qt::white);
}

QColor mutedRoomColour(const QColor &room)
{
    const QColor grey(0xb0, 0xb0, 0xb0);
    return QColor((room.red() + grey.red() * 2) / 3, (room.green() + grey.green() * 2) / 3,
                  (room.blue() + grey.blue() * 2) / 3);
}

QString shownBedCaption(const BoardModel &model, int bed, bool hideNames)
{
    const QString caption = model.bedCaption(bed);
    if (!hideNames || caption.isEmpty())
        return caption;
    // One character as the user sees it, a surrogate pair included.
    const int first = caption.at(0).isHighSurrogate() && caption.size() > 1 ? 2 : 1;
    return caption.left(first) + boardtext::HiddenNameMark;
}

QString shownBedTooltip(const BoardModel &model, int bed, bool hideNames)
{
    return hideNames ? QString() : model.bedEntry(bed);
}

int occupiedBeds(const BoardModel &model)
{
    int n = 0;
    for (int bed = 0; bed < BoardModel::BedCount; ++bed)
        n += model.isOccupied(bed) ? 1 : 0;
    return n;
}

int occupiedBedsInRoom(const BoardModel &model, int room)
{
    int n = 0;
    for (int k = 0; k < BoardModel::BedsPerRoom; ++k)
        n += model.isOccupied(room * BoardModel::BedsPerRoom + k) ? 1 : 0;
    return n;
}

} // namespace velto
