#pragma once
// The board window's own texts besides its commands (boardcommands.h).
#include <QString>

namespace velto::boardtext {

inline const QString WindowCaption = QStringLiteral("Velto"); // frmRoom
inline const QString DateLabel = QStringLiteral("表示日");    // Label2
inline const QString TodayButton = QStringLiteral("今日");    // cmdToday
inline const QString TodayButtonTip = QStringLiteral("今日のデータを表示します");
inline const QString PopupWindowCaption = QStringLiteral("Hospital Room Setup"); // frmMOUSE_MENU

// About box frmAbout.
inline const QString AboutCaption = QStringLiteral("Veltoについて");
inline const QString AboutTitle = QStringLiteral("Velto Ver2.0"); // lblTitle
inline const QString AboutOk = QStringLiteral("OK");              // cmdOK

} // namespace velto::boardtext
