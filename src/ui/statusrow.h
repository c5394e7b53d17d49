#pragma once
// A window's bottom row: what it has to say on the left, its buttons on the
// right.
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <initializer_list>

namespace velto {

// The row's status text is "lblStatus", wrapped and selectable so that a
// path or an error can be copied.
inline QHBoxLayout *statusRow(QWidget *window, QLabel **status, std::initializer_list<QPushButton *> buttons)
{
    *status = new QLabel(window);
    (*status)->setObjectName(QStringLiteral("lblStatus"));
    (*status)->setWordWrap(true);
    (*status)->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *row = new QHBoxLayout;
    row->addWidget(*status, 1);
    for (QPushButton *b : buttons)
        row->addWidget(b);
    return row;
}

} // namespace velto
