// The yardstick: a Qt program that shows one empty window.
#include <QApplication>
#include <QWidget>

#include "probe.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    velto::bench::exitWhenShown(QString());
    QWidget w;
    w.show();
    return app.exec();
}
