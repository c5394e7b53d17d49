#pragma once
// Discharge, erasure and readmission of the selected bed's patient. Each move
// changes a record file in "DB" or "DB/Out", the bed and the saved layout
// together: when the layout cannot be saved, the files and the bed are put
// back as they were, so the layout on disk never names a record that has
// moved away.
#include <QString>
#include <QStringList>
#include <functional>

namespace velto {
struct AppContext;
class BoardModel;

namespace admissiontext {
// Readmission chooser frmSai.
inline const QString saiCaption = QStringLiteral("再入院選択");
inline const QString saiLabel = QStringLiteral("再入院させたい人を選択し、OKボタンを押してください");
inline const QString saiListTip = QStringLiteral("ダブルクリックでもＯＫです");
inline const QString saiOk = QStringLiteral("OK(&O)");
inline const QString saiCancel = QStringLiteral("ｷｬﾝｾﾙ(&C)");
inline const QString saiCancelTip = QStringLiteral("設定せず終了します");
inline const QString noKeptRecords = QStringLiteral("退院者情報はありません。");
} // namespace admissiontext

// The questions and refusals, "\r" breaking the lines.
QString dischargeQuestion(const QString &caption);   // WarnYesNo
QString eraseOnDischargeQuestion();                  // WarnYesNoDefNo; Yes erases
QString keptRecordExistsQuestion();                  // WarnYesNoDefNo; Yes replaces
QString eraseQuestion(const QString &caption);       // WarnYesNo
QString readmitQuestion(const QString &displayName); // ConfirmYesNo
QString recordInUseText();                           // ErrorMsg

// Whether any bed but exceptBed holds entry: one record file per patient,
// so a key in use must never be given to another bed.
bool entryInUse(const BoardModel &model, const QString &entry, int exceptBed = -1);

// dischargePatient: discharge of bed, keeping the record in "DB/Out"
// or erasing it. A kept record of the same name is replaced only after the
// user agrees. The record leaves "DB" only once its copy in "DB/Out" reads
// back byte for byte. Returns whether the board changed.
bool dischargePatient(AppContext &ctx, BoardModel &model, int bed);

// erasePatient: erasure of bed's record. With no record file the
// data is already gone: the bed is freed all the same and the layout saved.
bool erasePatient(AppContext &ctx, BoardModel &model, int bed);

// Shows the readmission chooser modally; returns whether it readmitted.
using ReadmitChooser = std::function<bool()>;
// openReadmission: opens the chooser for a free bed on an editable
// board. Returns whether the board changed.
bool openReadmission(AppContext &ctx, BoardModel &model, int bed, const ReadmitChooser &chooser);

// Whether the chooser's OK and double click act.
bool canReadmit(const AppContext &ctx);
// Names of the kept records ("DB/Out", ordinary files), ascending.
QStringList keptRecords(const AppContext &ctx);

// The chooser's list when it is shown; with nothing kept the user is told
// so and close is true.
struct KeptListing {
    QStringList names;
    bool close = false;
};
KeptListing activateKeptList(AppContext &ctx);

// The chooser's click for the chosen name: asks, moves the record from
// "DB/Out" to "DB", puts it in bed and saves the layout.
// A record of the same name already in "DB" is never overwritten.
struct ReadmitResult {
    bool closeChooser = false;
    bool readmitted = false;
};
ReadmitResult readmitClick(AppContext &ctx, BoardModel &model, int bed, const QString &name);

} // namespace velto
