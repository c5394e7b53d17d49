// Yardstick for the login window on a real X server: a plain dialog with the
// same controls, texts and icon, and nothing behind it (no settings, no
// accounts). Stays open until the X client that times it ends it.
// With --board, OK opens the board's yardstick: a window of the board's
// size with 30 frames of 8 push buttons, captions as a full ward's.
#include <QApplication>
#include <QDialog>
#include <QFrame>
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
    QObject::connect(ok, &QPushButton::clicked, &d, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, &d, &QDialog::reject);
    const bool board = app.arguments().contains(QStringLiteral("--board"));
    if (d.exec() != QDialog::Accepted || !board)
        return 0;
    QWidget w;
    w.setWindowTitle(QStringLiteral("Velto"));
    auto *rooms = new QGridLayout(&w);
    for (int room = 0; room < 30; ++room) {
        auto *frame = new QFrame(&w);
        frame->setFrameShape(QFrame::StyledPanel);
        auto *beds = new QGridLayout(frame);
        beds->addWidget(new QLabel(QString::number(201 + room), frame), 0, 0, 1, 2);
        for (int b = 0; b < 8; ++b)
            beds->addWidget(new QPushButton(QStringLiteral("山田　花子"), frame), 1 + b / 2, b % 2);
        rooms->addWidget(frame, room / 6, room % 6);
    }
    w.resize(w.sizeHint().expandedTo(QSize(1100, 760)));
    w.show();
    return app.exec();
}
