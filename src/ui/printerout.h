#pragma once
// The summary on the system's default printer: the texts of the print dialog,
// its print button without the widgets, and the page jobs themselves.
#include <QList>
#include <QPrinterInfo>
#include <QString>
#include <functional>

#include "record/patientrecord.h"

namespace velto {
struct AppContext;

namespace printtext {
inline const QString Caption = QStringLiteral("印刷");
inline const QString PagesFrame = QStringLiteral("印刷対象");
inline const QString Page1 = QStringLiteral("１ページ目");
inline const QString Page2 = QStringLiteral("２ページ目");
inline const QString Page3 = QStringLiteral("３ページ目");
inline const QString PrintButton = QStringLiteral("印刷(&P)");
inline const QString PrintTip = QStringLiteral("患者情報を印刷します（サマリー）");
inline const QString CancelButton = QStringLiteral("ｷｬﾝｾﾙ(&C)");
inline const QString CancelTip = QStringLiteral("印刷せず終了します");
inline const QString NoPageTicked = QStringLiteral("印刷するページを選択してください。");
inline const QString ConfirmStart = QStringLiteral("印刷を開始します。よろしいですか？");
inline const QString NoPrinter =
    QStringLiteral("通常使うプリンタが設定されていません。\rプリンタを設定してから印刷してください。");
inline const QString PrintFailed =
    QStringLiteral("印刷できなかったページがあります。\rプリンタの状態を確認してから印刷し直してください。");
inline const QString ErrorProcedure = QStringLiteral("frmPrint.Command2_Click()");
} // namespace printtext

// The queue's job name for a page: no patient data, as any user may list the queue.
QString summaryJobName(int page);

// Reloads the facility information, then prints each of pages 1, 2, 3 that
// `pages` holds, in that order, each as a print job of its own on `printer`
// (A4 portrait, full page). False when the printer is null or not a real
// printer, or when any page could not be printed; later pages are still tried.
bool printPages(AppContext &ctx, const PatientRecord &record, QList<int> pages,
                const QPrinterInfo &printer);

// What the print button ended with; only Printed closes the dialog.
enum class PrintOutcome { NothingTicked, NoPrinter, Declined, Printed, Failed };

// The print button: the tick check, the question, the pages. `ticked` is
// asked again just before each page; `printer` is asked for the printer to
// use (the system's default in the dialog). Messages go to ctx.prompter.
PrintOutcome printTickedPages(AppContext &ctx, const PatientRecord &record,
                              const std::function<bool(int page)> &ticked,
                              const std::function<QPrinterInfo()> &printer);

} // namespace velto
