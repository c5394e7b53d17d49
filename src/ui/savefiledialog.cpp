#include "savefiledialog.h"

#include <QFileDialog>

namespace velto {

namespace {

// "CSVファイル(*.csv)|*.csv" as Qt's filter list; a shown text that already
// names its pattern is not given it twice.
QStringList qtFilters(const QString &pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'));
    QStringList filters;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = QLatin1Char('(') + parts[i + 1] + QLatin1Char(')');
        filters << (parts[i].endsWith(pattern) ? parts[i] : parts[i] + QLatin1Char(' ') + pattern);
    }
    return filters;
}

} // namespace

QString askSaveFileName(QWidget *parent, const QString &objectName, const QString &title, const QString &filterPairs,
                        const QString &suffix, const QString &suggestedPath)
{
    QFileDialog dialog(parent, title);
    dialog.setObjectName(objectName);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(qtFilters(filterPairs));
    dialog.setDefaultSuffix(suffix);
    dialog.selectFile(suggestedPath);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace velto
