#pragma once
class QApplication;

namespace velto {

// Everything the program sets up on its QApplication before the first window:
// the compiled-in icons, its name and window icon, Japanese for Qt's own
// buttons (はい, いいえ, キャンセル) and the Japanese locale.
void setUpApplication(QApplication &app);

} // namespace velto
