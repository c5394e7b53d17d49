#pragma once

namespace velto {

// The busy mouse pointer; the view supplies the real one.
class BusyPointer {
public:
    virtual ~BusyPointer() = default;
    virtual void push() { }
    virtual void pop() { }
};

// Shows the busy pointer for its lifetime, so every exit path restores it.
class BusyGuard {
public:
    explicit BusyGuard(BusyPointer *p)
        : m_p(p)
    {
        if (m_p)
            m_p->push();
    }
    ~BusyGuard() { release(); }
    void release()
    {
        if (m_p) {
            m_p->pop();
            m_p = nullptr;
        }
    }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    BusyPointer *m_p;
};

} // namespace velto
