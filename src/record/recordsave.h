#pragma once
// The record window's rules: its texts, the input check, the age from the
// birth date and the save with its refusals.
#include <QByteArray>
#include <QDate>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <functional>

#include "patientrecord.h"
#include "recordfile.h"

namespace velto {
struct AppContext;

namespace recordtext {
inline const QString WindowCaption = QStringLiteral("患者情報");
inline const QString OkButton = QStringLiteral("OK(&O)");
inline const QString OkTip = QStringLiteral("患者情報を保存し、画面を閉じます");
inline const QString SaveButton = QStringLiteral("保存(&S)");
inline const QString SaveTip = QStringLiteral("患者情報を保存します");
inline const QString CancelButton = QStringLiteral("ｷｬﾝｾﾙ(&C)");
inline const QString CancelTip = QStringLiteral("患者情報を保存せず、画面を閉じます");
inline const QString PrintButton = QStringLiteral("印刷(&P)");
inline const QString PrintTip = QStringLiteral("患者情報を印刷します（サマリー）");
inline const QString HelpButton = QStringLiteral("ﾍﾙﾌﾟ(&H)");
inline const QString HelpTip = QStringLiteral("ヘルプを表示します");
inline const QString StatusBarTip = QStringLiteral("更新者情報を表示します");

inline const QString PhotoButton = QStringLiteral("顔写真");
inline const QString PhotoTip = QStringLiteral("患者の顔写真を選択します");
inline const QString PhotoChangeButton = QStringLiteral("顔写真変更");
inline const QString PhotoDialogTitle = QStringLiteral("顔写真設定");
// A shared data folder keeps a copy of the picture; the path that failed follows.
inline const QString PhotoNotCopied = QStringLiteral("顔写真をデータフォルダにコピーできませんでした。");
inline const QString PhotoDefaultSuffix = QStringLiteral("jpg");
// Pairs of shown text and pattern, separated by "|".
inline const QString PhotoFilter
    = QStringLiteral("JPEG イメージ(*.jpg)|*.jpg|ビットマップ(*.bmp)|*.bmp|GIF イメージ(*.gif)|*.gif|"
                     "アイコン(*.ico)|*.ico|すべてのファイル(*.*)|*.*");
inline const QString BadPicture = QStringLiteral("正しいピクチャーを選択してください！");

inline const QString EmergencyFrame = QStringLiteral("緊急連絡先");
inline const QString BloodPressureFrame = QStringLiteral("血圧");
inline const QString DisabilityNote
    = QStringLiteral("※その他、記述項目がある場合は、麻痺タブの備考欄にお書きください。");

inline const QString NoFamilyName = QStringLiteral("名字を入力してください");
inline const QString NoGivenName = QStringLiteral("名前を入力してください");
inline const QString NoEra = QStringLiteral("生年月日(年号)を入力してください");
inline const QString NoYear = QStringLiteral("生年月日(年)を入力してください");
inline const QString NoMonth = QStringLiteral("生年月日(月)を入力してください");
inline const QString NoDay = QStringLiteral("生年月日(日)を入力してください");
inline const QString NoSex = QStringLiteral("性別を入力してください");
inline const QString NoSuchDate = QStringLiteral("指定した生年月日の日付は存在しません。");
inline const QString FutureDate = QStringLiteral("未来日付は入力できません。");
inline const QString NoRightToSave = QStringLiteral("保存する権限がありません。キャンセルをクリックしてください。");
// Shown when a record could not be read whole: saving it would blank the rest.
inline const QString LoadFailedReadOnly = QStringLiteral("患者情報を最後まで読み込めなかったため、保存できません。");
// Save refusal for a value that cannot become a file name; %1 names the field.
inline const QString UnsafeNameChars
    = QStringLiteral("%1に使用できない文字（\\ / : * ? \" < > | や制御文字）が含まれています。\r"
                     "別の文字に置き換えてから保存してください。");
inline const QString LeadingDot
    = QStringLiteral("%1の先頭に「.」は使用できません。\r別の文字に置き換えてから保存してください。");
inline const QString KeyOfOtherBed
    = QStringLiteral("同じ氏名・生年月日の患者が他のベッドに登録されているため、保存できません。\r"
                     "氏名と生年月日を確認してください。");
// The history's detail of a save: the changed fields' captions, or none.
inline const QString HistoryFieldSeparator = QStringLiteral("、");
inline const QString HistoryNothingChanged = QStringLiteral("変更なし");
} // namespace recordtext

// "最終更新者 : id(name)   最終更新時間 : time", or the short form without a name.
QString updaterText(const QString &loginId, const QString &staffName, const QString &savedAt);

// The first failing check of the input, or an empty message when it passes.
struct InputFault {
    QString message;
    QString focusField;              // objectName of the field at fault
    bool focusBeforeMessage = false; // the future-date check moves the focus first
    bool ok() const { return message.isEmpty(); }
};
InputFault checkRecordInput(const PatientRecord &record, const QDate &today);

// Runs the check against the clock's day; on failure shows the error dialog
// and calls focus(objectName) in the order the check asks for.
bool checkRecordInputAndTell(AppContext &ctx, const PatientRecord &record,
                             const std::function<void(const QString &)> &focus);

// True when all four birth-date texts are filled.
bool birthDateComplete(const PatientRecord &record);
// The age for the birth date ("35歳"); empty when a part is missing or the
// date was refused (getHowOld has then shown why).
QString ageText(AppContext &ctx, const PatientRecord &record);

// The field's name in messages: its caption, the line of a note ("備考(2行目)").
QString recordFieldLabel(const QString &key);

struct SaveResult {
    // Refused: a snapshot day or restricted staff. Rejected: values the user
    // must change first (focusField names the field). Failed: the writer
    // reported why. Nothing is written unless Saved.
    enum Outcome { Refused, Rejected, Failed, Saved };
    Outcome outcome = Refused;
    QString focusField; // objectName of the field at fault when Rejected
    QString key;        // the new patient key
    QString caption;    // the bed caption: the family name
    SaveStamp stamp;
    QString updaterText; // status bar text for the stamp
};

// The bed's layout files with the bed naming key, to be written in the same
// change as the record (see savePatientRecord). False when they cannot be made; the
// provider has then told the user why.
using LayoutWithKey = std::function<bool(const QString &key, WardChange *change)>;

// Refuses on a snapshot day or for restricted staff. Rejects, with a message
// naming the field, a name or birth date that cannot be a plain file name,
// a value the code page cannot hold, and a key that keyTakenByOtherBed says
// is another bed's entry (whose file the save would overwrite).
// Else, as one change of "DB": writes the record under its new key, then
// the layout files layoutWithKey gives (the bed naming the new key), then
// removes the file of *oldKey when the key changed. At no instant does the
// bed name a missing file; a crash midway is completed at the next start.
// Only then calls onWritten (status bar, bed caption and entry) and sets
// *oldKey to the new key, so that a later save in the same window replaces
// this file. A failure leaves *oldKey, the bed and every file as they were.
// loaded: the record as the window read it (empty for a new one), set to
// what was saved. When another terminal has saved it since, the user is
// asked (SavedElsewhere) whether to save over it.
SaveResult savePatientRecord(AppContext &ctx, const PatientRecord &record, bool today, QString *oldKey,
                             const std::function<void(const SaveResult &)> &onWritten = {},
                             const std::function<bool(const QString &key)> &keyTakenByOtherBed = {},
                             const LayoutWithKey &layoutWithKey = {}, QByteArray *loaded = nullptr);

} // namespace velto
