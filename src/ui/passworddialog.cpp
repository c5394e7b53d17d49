#include "passworddialog.h"
#include "passwordbox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace velto {

namespace {
QLineEdit *passwordBox(const QString &name, QWidget *parent)
{
    QLineEdit *e = passwordLineEdit(name, kPasswordMaxLength, parent);
    e->setToolTip(stafftext::passwordTooltip());
    return e;
}
} // namespace

PasswordDialog::PasswordDialog(StaffAdmin &admin, QWidget *parent)
    : QDialog(parent)
    , m_admin(admin)
{
    setObjectName(QStringLiteral("frmPassword"));
    setWindowTitle(QString());

    auto *label1 = new QLabel(stafftext::newPasswordLabel(), this);
    label1->setObjectName(QStringLiteral("Label1"));
    m_password = passwordBox(QStringLiteral("txtPassword"), this);
    auto *label3 = new QLabel(stafftext::confirmPasswordLabel(), this);
    label3->setObjectName(QStringLiteral("Label3"));
    m_again = passwordBox(QStringLiteral("txtPasswordRet"), this);
    label1->setBuddy(m_password);
    label3->setBuddy(m_again);

    auto *ok = new QPushButton(stafftext::okButton(), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(stafftext::cancelButton(), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    cancel->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(m_password, 0, 1);
    grid->addWidget(label3, 1, 0);
    grid->addWidget(m_again, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);

    setTabOrder(m_password, m_again);
    setTabOrder(m_again, ok);
    setTabOrder(ok, cancel);
    m_password->setFocus();

    connect(ok, &QPushButton::clicked, this, &PasswordDialog::confirmPassword);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void PasswordDialog::confirmPassword()
{
    if (!m_admin.passwordOk(m_password->text(), m_again->text())) {
        m_again->setFocus();
        return;
    }
    accept();
}

} // namespace velto
