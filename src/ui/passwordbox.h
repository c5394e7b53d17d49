#pragma once
#include <QLineEdit>

namespace velto {

// A one-line box typed without the input method (login IDs, passwords).
QLineEdit *latinLineEdit(const QString &objectName, int maxLength, QWidget *parent);

// A password box that shows "*" for every character, whatever the
// platform's bullet is.
QLineEdit *passwordLineEdit(const QString &objectName, int maxLength, QWidget *parent);

} // namespace velto
