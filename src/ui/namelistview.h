#pragma once
// A list of thousands of names (snapshot days, kept records) that costs what
// is on screen: the names as one string list, no item object each, every row
// one height, measured once, and nothing editable.
#include <QListView>
#include <QStringListModel>

namespace velto {

inline QListView *newNameListView(QStringListModel *names, QWidget *parent)
{
    auto *list = new QListView(parent);
    list->setModel(names);
    list->setUniformItemSizes(true);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    return list;
}

} // namespace velto
