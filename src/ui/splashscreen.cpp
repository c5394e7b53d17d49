#include "splashscreen.h"

#include <QEvent>
#include <QEventLoop>
#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "core/busy.h"

namespace velto {

SplashScreen::SplashScreen(AppContext &ctx, int showMs, QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint | Qt::Dialog)
    , m_ctx(ctx)
    , m_showMs(showMs)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xc0, 0xc0, 0xc0));
    setPalette(pal);

    auto *logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(QPixmap(QStringLiteral(":/icons/velto.png")));
    auto *product = new QLabel(QStringLiteral("Velto"), this);
    product->setObjectName(QStringLiteral("lblProductName"));
    QFont big = product->font();
    big.setPointSize(28);
    big.setBold(true);
    product->setFont(big);
    auto *version = new QLabel(QStringLiteral("ﾊﾞｰｼﾞｮﾝ 2.0"), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *warning = new QLabel(QStringLiteral("Veltoでは、データの消失が発生した場合の保証はいたしません。あくまでも管"
                                              "理者の方の責任で管理くださいますようお願いいたします。"),
                               this);
    warning->setObjectName(QStringLiteral("lblWarning"));
    warning->setWordWrap(true);

    auto *lay = new QVBoxLayout(this);
    lay->setContentsMargins(24, 24, 24, 24);
    lay->addWidget(logo, 0, Qt::AlignHCenter);
    lay->addWidget(product, 0, Qt::AlignHCenter);
    lay->addWidget(version, 0, Qt::AlignRight);
    lay->addWidget(warning);
    setFixedWidth(460);
}

bool SplashScreen::event(QEvent *e)
{
    const bool r = QDialog::event(e);
    if ((e->type() == QEvent::WindowActivate || e->type() == QEvent::Show) && !m_started) {
        m_started = true;
        QTimer::singleShot(0, this, &SplashScreen::hold);
    }
    return r;
}

void SplashScreen::hold()
{
    BusyGuard busy(m_ctx.busy);
    // Wait on the event loop, so the screen keeps painting.
    QEventLoop loop;
    QTimer::singleShot(m_showMs, &loop, &QEventLoop::quit);
    loop.exec();
    busy.release();
    accept();
}

} // namespace velto
