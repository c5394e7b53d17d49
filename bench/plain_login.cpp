// Yardstick for the login window on a real X server: a plain dialog with the
// same controls, texts and icon, and nothing behind it (no settings, no
// accounts). Stays open until the X client that times it ends it.
#include <QApplication>
#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QDialog d;
    d.setWindowTitle(QStringLiteral("Velto　ログイン"));
    d.setWindowIcon(QIcon(QStringLiteral(":/icons/velto.png")));
    auto *label1 = new QLabel(QStringLiteral("ログインID"), &d);
    auto *loginId = new QLineEdit(QStringLiteral("Administrator"), &d);
    loginId->setMaxLength(20);
    auto *label2 = new QLabel(QStringLiteral("パスワード"), &d);
    auto *password = new QLineEdit(&d);
    password->setMaxLength(20);
    password->setEchoMode(QLineEdit::Password);
    auto *ok = new QPushButton(QStringLiteral("OK(&O)"), &d);
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ(&C)"), &d);
    auto *grid = new QGridLayout(&d);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(loginId, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(password, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    d.setMinimumWidth(360);
    d.show();
    return app.exec();
}
