#pragma once
// Moving a ward between a folder and the ward database:
// velto --import-folder DIR and velto --export-folder DIR.
#include <QString>
#include <QStringList>

namespace velto {

class PgStore;
class SettingsStore;

namespace transfertext {
inline const QString NotEmpty = QStringLiteral("データベースの病棟が空ではないため、取り込めません。\r"
                                               "空のデータベースを指定してください。");
inline const QString NoWard = QStringLiteral("病棟のデータフォルダが見つかりません。\r%1");
inline const QString Unreadable
    = QStringLiteral("ファイルを最後まで読み込めなかったため、何も取り込んでいません。\r%1");
inline const QString NotWritten = QStringLiteral("データベースに書き込めなかったため、何も取り込んでいません。\r%1");
inline const QString MissingPhoto = QStringLiteral("顔写真が見つかりません：%1（%2）");
inline const QString Imported = QStringLiteral("取り込みました：入院中 %1名、退院者情報 %2件、バックアップ %3日分、"
                                               "施設情報 %4、職員 %5名");
inline const QString TargetNotEmpty = QStringLiteral("書き出し先のフォルダが空ではありません。\r%1");
inline const QString TargetNotMade = QStringLiteral("書き出し先のフォルダを作成できません。\r%1");
inline const QString ExportFailed = QStringLiteral("書き出しに失敗しました。\r%1");
inline const QString Exported = QStringLiteral("書き出しました：患者情報 %1件、退院者情報 %2件、バックアップ %3日分、"
                                               "施設情報 %4、顔写真 %5枚");
inline const QString AccountsNotExported
    = QStringLiteral("職員アカウントは書き出していません（パスワードは元に戻せない形で保存されています）。");
inline const QString NoDatabase = QStringLiteral("データベースが設定されていません。\r"
                                                 "設定ファイルの[Ward]にdatabaseを設定してください。\r%1");
inline const QString NoFolderGiven = QStringLiteral("フォルダを指定してください。");
inline const QString Present = QStringLiteral("あり");
inline const QString Absent = QStringLiteral("なし");
} // namespace transfertext

// Copies the ward folder dir (DB, DB/Out, the snapshots the date list
// shows, the facility information, the pictures the records name) and the
// staff accounts and options of settings into the database, in one
// transaction. The folder is locked while it is read. Refused for a
// database whose ward is not empty, and when a file cannot be read whole.
// *report: the lines to print; *error: why nothing was written.
bool importFolder(const QString &dir, const SettingsStore &settings, PgStore &store, QStringList *report,
                  QString *error);

// Writes the ward into dir, which must be missing or empty: the files the
// folder store would hold, byte for byte, and the pictures in dir/photos.
bool exportFolder(PgStore &store, const QString &dir, QStringList *report, QString *error);

// The command line's --import-folder DIR or --export-folder DIR against the
// database the settings name. Returns the exit code, or -1 when args hold
// neither command. What was done goes to out, what failed to err.
int runTransferCommand(const QStringList &args, const SettingsStore &settings, QStringList *out, QStringList *err,
                       int passwordIterations = 100000);

} // namespace velto
