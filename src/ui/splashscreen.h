#pragma once
#include <QDialog>

#include "core/appcontext.h"

namespace velto {

// Title screen: shown for a while after login, painting all the time.
class SplashScreen : public QDialog {
    Q_OBJECT
public:
    explicit SplashScreen(AppContext &ctx, int showMs = 3000, QWidget *parent = nullptr);

protected:
    bool event(QEvent *e) override;

private:
    void hold();

    AppContext &m_ctx;
    int m_showMs;
    bool m_started = false;
};

} // namespace velto
