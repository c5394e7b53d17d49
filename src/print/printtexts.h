#pragma once
// Texts of the print dialog.
#include <QString>

namespace velto {

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
inline const QString NoPrinter
    = QStringLiteral("通常使うプリンタが設定されていません。\rプリンタを設定してから印刷してください。");
inline const QString PrintFailed
    = QStringLiteral("印刷できなかったページがあります。\rプリンタの状態を確認してから印刷し直してください。");
inline const QString ErrorProcedure = QStringLiteral("frmPrint.Command2_Click()");
} // namespace printtext

} // namespace velto
