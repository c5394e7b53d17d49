#pragma once
// Benchmark builds only: end the process as soon as the named window first paints.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <cstdlib>

namespace velto::bench {

class ShownProbe : public QObject {
public:
    explicit ShownProbe(QString name)
        : m_name(std::move(name))
    { }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Paint && o->isWidgetType() && (m_name.isEmpty() || o->objectName() == m_name))
            std::_Exit(0);
        return false;
    }

private:
    QString m_name;
};

inline void exitWhenShown(const QString &objectName)
{
    qApp->installEventFilter(new ShownProbe(objectName));
}

} // namespace velto::bench
