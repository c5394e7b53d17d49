#pragma once
// Finding a window's controls by object name, as the GUI tests do.
#include <QAbstractItemView>
#include <QString>
#include <QStringList>
#include <QWidget>
#include <QtGlobal>

namespace velto::test {

// Every control child() looked for and did not find, as "control <name>",
// so that a test which steps past a missing control can still fail on it.
inline QStringList &missingControls()
{
    static QStringList missing;
    return missing;
}

// The control of type T named `name` inside `w`, or nullptr (also when `w`
// itself is null).
template <class T> T *child(QWidget *w, const QString &name)
{
    T *c = w ? w->findChild<T *>(name) : nullptr;
    if (!c) {
        qWarning("missing %s", qPrintable(name));
        missingControls() << QStringLiteral("control ") + name;
    }
    return c;
}

template <class T> T *child(QWidget &w, const QString &name)
{
    return child<T>(&w, name);
}

// A list's rows as it shows them.
inline QStringList rowsOf(const QAbstractItemView *list)
{
    QStringList rows;
    const QAbstractItemModel *m = list->model();
    for (int i = 0; i < m->rowCount(); ++i)
        rows << m->index(i, 0).data().toString();
    return rows;
}

inline QString currentRowOf(const QAbstractItemView *list)
{
    return list->currentIndex().data().toString();
}

inline QModelIndex rowIndex(const QAbstractItemView *list, int row)
{
    return list->model()->index(row, 0);
}

} // namespace velto::test
