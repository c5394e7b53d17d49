#pragma once
// The statistics window's texts.
#include <QString>

namespace velto::statisticstext {

inline const QString WindowCaption = QStringLiteral("病棟統計"); // frmStatistics
inline const QString OccupancyTitle = QStringLiteral("使用ベッド数（日ごと・過去365日）");
inline const QString OccupancySeries = QStringLiteral("使用ベッド数");
inline const QString DayAxis = QStringLiteral("日付");
inline const QString BedsAxis = QStringLiteral("ベッド数（床）");
inline const QString MovementTitle = QStringLiteral("入院・退院数（月ごと・過去12か月）");
inline const QString AdmissionSeries = QStringLiteral("入院（再入院を含む）");
inline const QString DischargeSeries = QStringLiteral("退院");
inline const QString MonthAxis = QStringLiteral("月");
inline const QString MonthFormat = QStringLiteral("yyyy/MM");
inline const QString CountAxis = QStringLiteral("件数");
// Under the charts: why a line breaks off.
inline const QString GapNote
    = QStringLiteral("バックアップのない日と、履歴を記録する前の月は線を途切れさせています（0件ではありません）。");

inline const QString SaveButton = QStringLiteral("画像として保存(&S)...");
inline const QString SaveTip = QStringLiteral("二つのグラフを一枚のPNG画像に保存します");
inline const QString CloseButton = QStringLiteral("閉じる(&C)");
inline const QString CloseTip = QStringLiteral("病棟統計の画面を閉じます");

// The save dialog of the picture.
inline const QString SaveDialogTitle = QStringLiteral("病棟統計の画像保存");
inline const QString SaveFilter = QStringLiteral("PNG イメージ(*.png)|*.png");
inline const QString SaveSuffix = QStringLiteral("png");
// The suggested file name; %1 is today as yyyyMMdd.
inline const QString SaveFileName = QStringLiteral("病棟統計_%1.png");

// The status line.
inline const QString NoSnapshots = QStringLiteral("この1年間のバックアップがないため、使用ベッド数はありません。");
inline const QString NoHistory = QStringLiteral("まだ履歴がないため、入院・退院数はありません。");
// %1: the store's reason.
inline const QString HistoryReadFailed = QStringLiteral("履歴を読み込めませんでした。%1");
// %1: the file.
inline const QString Saved = QStringLiteral("%1に保存しました。");
inline const QString SaveFailed = QStringLiteral("画像を保存できませんでした。%1");

} // namespace velto::statisticstext
