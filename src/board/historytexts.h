#pragma once
// The history window's texts and the CSV file's column captions.
#include <QString>
#include <QStringList>

namespace velto::historytext {

inline const QString WindowCaption = QStringLiteral("履歴"); // frmHistory
inline const QString FromLabel = QStringLiteral("期間(&D):");
inline const QString RangeDash = QStringLiteral("～");
inline const QString PatientLabel = QStringLiteral("患者(&P):");
inline const QString PatientPlaceholder = QStringLiteral("姓・名の一部（空欄ですべて）");
inline const QString PatientTip
    = QStringLiteral("患者の姓や名の一部を入力してください。姓と名の間を空けると、両方を含む患者を表示します。");
inline const QString StaffLabel = QStringLiteral("スタッフ(&S):");
inline const QString AllStaff = QStringLiteral("すべてのスタッフ");
inline const QString ExportButton = QStringLiteral("CSV出力(&E)...");
inline const QString ExportTip = QStringLiteral("表示している履歴をCSVファイルに保存します");
inline const QString CloseButton = QStringLiteral("閉じる(&C)");
inline const QString CloseTip = QStringLiteral("履歴の画面を閉じます");

// The table's column headings, also the CSV file's first row.
inline const QStringList Columns {
    QStringLiteral("日時"), QStringLiteral("ログインID"), QStringLiteral("スタッフ名"), QStringLiteral("種類"),
    QStringLiteral("部屋"), QStringLiteral("ベッド"),     QStringLiteral("患者"),       QStringLiteral("内容"),
};

// The save dialog of the CSV export.
inline const QString ExportDialogTitle = QStringLiteral("履歴のCSV出力");
inline const QString ExportFilter = QStringLiteral("CSVファイル(*.csv)|*.csv|すべてのファイル(*.*)|*.*");
inline const QString ExportSuffix = QStringLiteral("csv");
// The suggested file name; %1 is today as yyyyMMdd.
inline const QString ExportFileName = QStringLiteral("履歴_%1.csv");

// The status line: %1 events shown of %2 in the history.
inline const QString Shown = QStringLiteral("%1件を表示しています（履歴全体で%2件）。");
inline const QString Empty = QStringLiteral("まだ履歴はありません。");
inline const QString RangeReversed = QStringLiteral("期間の開始日が終了日より後になっています。");
// %1: the store's reason.
inline const QString ReadFailed = QStringLiteral("履歴を読み込めませんでした。%1");
// %1 events, %2 the file.
inline const QString Exported = QStringLiteral("%1件の履歴を%2に保存しました。");
inline const QString ExportFailed = QStringLiteral("CSVファイルを保存できませんでした。%1");

} // namespace velto::historytext
