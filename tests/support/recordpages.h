#pragma once
// Reaching a field of the record window on a page of its own: the window
// builds a page the first time its tab is shown, so a test clicks the tab
// holding the field first, as the user does.
#include <QPushButton>
#include <QString>

#include "record/recordfields.h"
#include "support/widgets.h"

namespace velto::test {

// Clicks the tab of `window` holding the field `objectName`; false when no
// tab holds it.
inline bool showTabOf(QWidget *window, const QString &objectName)
{
    const RecordField *field = recordFieldByObjectName(objectName);
    if (!field || field->tab < 0)
        return false;
    auto *tab = child<QPushButton>(window, QStringLiteral("SSTab1_tab_%1").arg(field->tab));
    if (!tab)
        return false;
    tab->click();
    return true;
}

inline bool showTabOf(QWidget &window, const QString &objectName)
{
    return showTabOf(&window, objectName);
}

// The field `name` of type T after showing its tab, or nullptr.
template <class T> T *fieldOnItsTab(QWidget &window, const QString &name)
{
    showTabOf(window, name);
    return child<T>(window, name);
}

} // namespace velto::test
