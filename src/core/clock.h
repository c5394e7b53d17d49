#pragma once
#include <QDateTime>
#include <QElapsedTimer>

namespace velto {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock {
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

class FixedClock : public Clock {
public:
    explicit FixedClock(QDateTime t)
        : m_t(std::move(t))
    { }
    QDateTime now() const override { return m_t; }
    void set(const QDateTime &t) { m_t = t; }

private:
    QDateTime m_t;
};

} // namespace velto
