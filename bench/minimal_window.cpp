// The yardstick: a Qt program that shows one empty window. With --text the
// window holds one line of Japanese text, so fonts are loaded as in any real window.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "probe.h"

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    velto::bench::exitWhenShown(QString());
    QWidget w;
    if (app.arguments().contains(QStringLiteral("--text")))
        (new QVBoxLayout(&w))->addWidget(new QLabel(QStringLiteral("ログインしてください"), &w));
    w.show();
    return app.exec();
}
