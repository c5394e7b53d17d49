#pragma once
#include <QApplication>

#include "core/busy.h"

namespace velto {

class BusyCursor : public BusyPointer {
public:
    void push() override { QApplication::setOverrideCursor(Qt::WaitCursor); }
    void pop() override
    {
        if (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    }
};

} // namespace velto
