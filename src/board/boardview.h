#pragma once
// How the board shows the ward, whatever the window's size: the sizes that
// let 30 rooms of 8 beds fill it, the room number's contrast, the snapshot
// day's look, the counts, and the names hidden for privacy.
#include <QColor>
#include <QSize>
#include <QString>

namespace velto {
class BoardModel;

namespace boardtext {
inline const QString WallMode = QStringLiteral("壁掛け表示(&W)");
// "<era date> の記録（閲覧のみ）" over a snapshot day's board.
inline QString snapshotBanner(const QString &eraDate)
{
    return eraDate + QStringLiteral(" の記録（閲覧のみ）");
}
// 入院 N名 / 空床 M床
inline QString occupancy(int occupied, int free)
{
    return QStringLiteral("入院 %1名 / 空床 %2床").arg(occupied).arg(free);
}
// A room's occupied beds of its 8.
inline QString roomOccupancy(int occupied, int beds)
{
    return QStringLiteral("%1/%2").arg(occupied).arg(beds);
}
inline const QString HiddenNameMark = QStringLiteral("○○");
// The wall board's way out: the logged-in account's password.
inline const QString LeaveWallCaption = QStringLiteral("壁掛け表示の終了");
inline const QString LeaveWallPrompt = QStringLiteral("%1さんのパスワードを入力してください。");
inline const QString LeaveWallWrong = QStringLiteral("パスワードが間違えています。");
inline const QString LeaveWallOk = QStringLiteral("OK(&O)");
inline const QString LeaveWallCancel = QStringLiteral("ｷｬﾝｾﾙ(&C)");
} // namespace boardtext

// Sizes, in pixels, of the board's parts for a rooms area of a given size.
struct BoardMetrics {
    int fontPixels = 0;  // bed names and room numbers
    int labelHeight = 0; // a room's number line, above its beds
    int padding = 0;     // inside a room, around its beds
    int bedSpacing = 0;  // between two beds
    int roomSpacing = 0; // between two rooms, and the area's margin
};

// The largest text for which a room's number line and its four rows of
// beds fit the room's share of area (6 columns, 5 rows), and a bed holds
// four full-width characters; never below the smallest legible size.
BoardMetrics boardMetrics(const QSize &area);
constexpr int MinimumBoardFontPixels = 12;

// Black or white, whichever contrasts more with the room's colour (WCAG
// relative luminance), so a dark room keeps its number readable.
QColor roomNumberColour(const QColor &room);
// A snapshot day's rooms: the colour washed towards grey.
QColor mutedRoomColour(const QColor &room);

// What a bed shows: its caption, or with names hidden the family name's
// first character and "○○" (an empty bed stays empty).
QString shownBedCaption(const BoardModel &model, int bed, bool hideNames);
// What its tooltip shows: the patient's key, nothing with names hidden.
QString shownBedTooltip(const BoardModel &model, int bed, bool hideNames);

int occupiedBeds(const BoardModel &model);
int occupiedBedsInRoom(const BoardModel &model, int room);

// The local preference "[Display] hide_names=1".
namespace displaykey {
inline const QString Section = QStringLiteral("Display");
inline const QString HideNames = QStringLiteral("hide_names");
} // namespace displaykey

} // namespace velto
