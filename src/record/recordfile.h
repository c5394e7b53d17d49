#pragma once
// The patient record file: one "key:value" line per field, code page 932,
// CR LF, named by the patient key, in "DB" (today) or a snapshot folder.
#include <QByteArray>
#include <QString>

#include "patientrecord.h"

namespace velto {
struct AppContext;

// Names under which the record window's load and save report failures.
inline const QString RecordLoadProcedure = QStringLiteral("frmKozinInf.Form_Load()");
inline const QString RecordSaveProcedure = QStringLiteral("frmKozinInf.UpdateFile()");
// Refusal shown when a save aims at a snapshot day.
inline const QString PastDataReadOnlyText =
    QStringLiteral("過去のデータは変更できません。キャンセルをクリックしてください。");

// Family name + "_" + given name + "_" + era, year, month and day texts,
// all exactly as they stand.
QString MakePatientKey(const PatientRecord &record);

// True for a name that stays inside its folder: not empty, not "." or "..",
// no "/" or "\" and no control character.
bool isPlainFileName(const QString &name);

// False for "/", "\", ":", "*", "?", '"', "<", ">", "|" and control
// characters: what some disk of the ward would refuse or misread in a name.
bool isFileNameChar(QChar c);
// A name every file system takes as one plain file: a plain name of
// isFileNameChar characters, not beginning with a dot (hidden, and the
// program's staged files begin so). New files get only such names.
bool isSafeFileName(const QString &name);

// "DB/<key>" for today (empty snapshotFolder), else
// "BackUp/<snapshotFolder>/<key>". Empty when the key or the folder name
// would leave its folder.
QString RecordFilePath(const AppContext &ctx, const QString &key, const QString &snapshotFolder);

enum class RecordReadResult {
    Read,    // the whole file was read
    Missing, // no such file: the record stays as new
    Failed,  // reported through the error log; what was read before stays
};

// Starts *record as a new record (every key empty, paralysis "なし"), then
// lets each line of the file overwrite its key: any order, the last line of
// a key wins, reserved and unknown keys are skipped. A line shorter than
// "key:" ends the read through the error report.
RecordReadResult ReadPatientFile(AppContext &ctx, const QString &path, PatientRecord *record);

struct SaveStamp {
    QString loginId;
    QString staffName;
    QString savedAt; // "yyyy/MM/dd HH:mm:ss"
};

// Writes the whole file in write order, stamped with the current account and
// the clock's time (keys 300 to 302; the record's own values of those keys
// are ignored). Only a file directly in "DB" with a safe name is written. Line breaks inside
// a value become spaces so a value never splits into two lines.
// On failure the old file stays and the user has been told: text the code
// page cannot hold and a snapshot path are refused with a message, other
// failures go through the error report. *stamp receives what was written.
bool WritePatientFile(AppContext &ctx, const QString &path, const PatientRecord &record,
                      SaveStamp *stamp = nullptr);

// The bytes WritePatientFile would write, with the same refusals, for a save
// that changes other files with it.
bool EncodePatientFile(AppContext &ctx, const QString &path, const PatientRecord &record,
                       QByteArray *bytes, SaveStamp *stamp);

} // namespace velto
