#pragma once
// The save dialog of the windows that write a file the user names (the
// history's CSV, the statistics' picture). It is a modal QFileDialog under
// objectName, as the photo dialog is, so a test finds and answers it.
#include <QString>

class QWidget;

namespace velto {

// filterPairs: "shown|pattern|shown|pattern"; suggestedPath: the folder and
// name offered. Returns the chosen path, empty when cancelled.
QString askSaveFileName(QWidget *parent, const QString &objectName, const QString &title, const QString &filterPairs,
                        const QString &suffix, const QString &suggestedPath);

} // namespace velto
