// Linked into the start-up benchmark's copy of the program (velto_probe)
// beside the program's own main.cpp: ends the process as soon as the login
// window first paints.
#include <QCoreApplication>

#include "probe.h"

// Runs inside the QApplication constructor, before main() goes on.
static void exitWhenLoginShown()
{
    velto::bench::exitWhenShown(QStringLiteral("frmLogin"));
}

Q_COREAPP_STARTUP_FUNCTION(exitWhenLoginShown)
