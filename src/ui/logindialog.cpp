#include "logindialog.h"
#include "passwordbox.h"

#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velto {

LoginDialog::LoginDialog(AppContext &ctx, AccountTable &table, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_table(table)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Velto　ログイン"));
    setWindowIcon(QIcon(QStringLiteral(":/icons/velto.png")));

    auto *label1 = new QLabel(QStringLiteral("ログインID"), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_loginId = latinLineEdit(QStringLiteral("txtLoginID"), 20, this);
    m_loginId->setText(QStringLiteral("Administrator"));
    auto *label2 = new QLabel(QStringLiteral("パスワード"), this);
    label2->setObjectName(QStringLiteral("Label2"));
    m_password = passwordLineEdit(QStringLiteral("txtPassword"), 20, this);
    label1->setBuddy(m_loginId);
    label2->setBuddy(m_password);

    auto *ok = new QPushButton(QStringLiteral("OK(&O)"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    ok->setAutoDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(m_loginId, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(m_password, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    setMinimumWidth(360);

    setTabOrder(m_loginId, m_password);
    setTabOrder(m_password, ok);
    setTabOrder(ok, cancel);

    connect(ok, &QPushButton::clicked, this, &LoginDialog::logIn);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

bool LoginDialog::event(QEvent *e)
{
    const bool r = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)
        m_password->setFocus(Qt::ActiveWindowFocusReason);
    return r;
}

void LoginDialog::logIn()
{
    const LoginResult r = loginCheck(m_ctx, m_table, m_loginId->text(), m_password->text());
    switch (r.kind) {
    case LoginResult::LoggedIn:
        accept();
        break;
    case LoginResult::TryAgain:
        (r.focusControl == m_password->objectName() ? m_password : m_loginId)->setFocus();
        break;
    case LoginResult::Exhausted:
        m_exhausted = true;
        reject();
        break;
    case LoginResult::Aborted:
        break;
    }
}

} // namespace velto
