#pragma once
// The patient record file: one "key:value" line per field, code page 932,
// CR LF, named by the patient key, in "DB" (today) or a snapshot folder.
#include <QByteArray>
#include <QList>
#include <QString>

#include "patientrecord.h"
#include "store/wardstore.h"

namespace velto {
struct AppContext;

// Names under which the record window's load and save report failures.
inline const QString RecordLoadProcedure = QStringLiteral("frmKozinInf.Form_Load()");
inline const QString RecordSaveProcedure = QStringLiteral("frmKozinInf.UpdateFile()");
// Refusal shown when a save aims at a snapshot day.
inline const QString PastDataReadOnlyText
    = QStringLiteral("過去のデータは変更できません。キャンセルをクリックしてください。");

// Family name + "_" + given name + "_" + era, year, month and day texts,
// all exactly as they stand.
QString makePatientKey(const PatientRecord &record);

// False for "/", "\", ":", "*", "?", '"', "<", ">", "|" and control
// characters: what some disk of the ward would refuse or misread in a name.
bool isFileNameChar(QChar c);

enum class RecordReadResult {
    Read,      // the whole file was read
    Missing,   // no such file: the record stays as new
    Failed,    // reported through the error log; what was read before stays
    PartlyRead // some lines did not decode: every other line was read
};

namespace recordtext {
// Save of a record another terminal saved since it was opened (WarnYesNoDefNo);
// %1 the staff name, %2 the time ("yyyy/MM/dd HH:mm:ss").
inline const QString SavedElsewhere
    = QStringLiteral("この患者情報は、%1さんが%2に保存しています。\r上書きしてよろしいですか？");
// Status of a record with lines that did not decode; %1 lists their numbers.
inline const QString BadLinesReadOnly = QStringLiteral("患者情報の%1行目を読み取れなかったため、保存できません。");
} // namespace recordtext
// The status text for the given 1-based line numbers.
QString badLinesText(const QList<int> &badLines);

// Starts *record as a new record (every key empty, paralysis "なし"), then
// lets each line of the file overwrite its key: any order, the last line of
// a key wins, reserved and unknown keys are skipped. A line shorter than
// "key:" ends the read through the error report; empty lines at the end are
// no fault. A line that does not decode leaves its field empty and the rest
// is read: PartlyRead, with the line numbers in *badLines.
// *raw receives the record's bytes as stored.
RecordReadResult readPatientRecord(AppContext &ctx, const RecordRef &ref, PatientRecord *record,
                                   QList<int> *badLines = nullptr, QByteArray *raw = nullptr);

// The record of stored bytes as far as they read, without a report: what a
// save compares with to say what it changed.
PatientRecord decodePatientRecord(const QByteArray &bytes);

struct SaveStamp {
    QString loginId;
    QString staffName;
    QString savedAt; // "yyyy/MM/dd HH:mm:ss"
};

// Writes the whole file in write order, stamped with the current account and
// the clock's time (keys 300 to 302; the record's own values of those keys
// are ignored). Only today's records are written, under a key every disk
// of the ward can name. Line breaks inside
// a value become spaces so a value never splits into two lines.
// On failure the old file stays and the user has been told: text the code
// page cannot hold and a snapshot's record are refused with a message, other
// failures go through the error report. *stamp receives what was written.
bool writePatientRecord(AppContext &ctx, const RecordRef &ref, const PatientRecord &record, SaveStamp *stamp = nullptr);

// The bytes of a picture file the user chose. Only a regular file is read:
// a FIFO or a device would block the program or never end.
bool readPhotoFile(const QString &path, QByteArray *data);

// The path a record keeps for a chosen picture. In a data folder shared by
// several login accounts the picture is copied into the folder's photos
// (named by its content, so choosing it again makes no second copy) and
// the copy's path is kept; elsewhere the path as chosen. False with
// *error when the copy cannot be made.
bool adoptPhoto(AppContext &ctx, const QString &chosen, QString *kept, QString *error);

// The bytes writePatientRecord would write, with the same refusals, for a save
// that changes other files with it.
bool encodePatientRecord(AppContext &ctx, const RecordRef &ref, const PatientRecord &record, QByteArray *bytes,
                         SaveStamp *stamp);

} // namespace velto
