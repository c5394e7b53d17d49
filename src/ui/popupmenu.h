#pragma once
// The popup menu of a bed: icon, caption and shortcut text per item, as the
// board's command table places them.
#include <QHash>
#include <QMenu>

namespace velto {

class BedPopupMenu : public QMenu {
    Q_OBJECT
public:
    // Icons are read from iconDir (beside the program); a missing file
    // leaves the item without a picture.
    explicit BedPopupMenu(const QString &iconDir, QWidget *parent = nullptr);

    // The item of that name ("bed", "edit", ... "END"); null for others.
    QAction *item(const QString &name) const { return m_items.value(name); }
    // Icon file of an item, empty for separators and unknown names.
    static QString iconFile(const QString &name);

private:
    QHash<QString, QAction *> m_items;
};

} // namespace velto
