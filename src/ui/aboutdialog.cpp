#include "aboutdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "board/boardtexts.h"

namespace velto {

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(boardtext::AboutCaption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("picIcon"));
    icon->setPixmap(
        QPixmap(QStringLiteral(":/icons/velto.png")).scaled(48, 48, Qt::KeepAspectRatio, Qt::SmoothTransformation));

    auto *title = new QLabel(boardtext::AboutTitle, this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.5);
    f.setBold(true);
    title->setFont(f);

    auto *ok = new QPushButton(boardtext::AboutOk, this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    top->addSpacing(12);
    top->addWidget(title, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addSpacing(12);
    layout->addLayout(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

} // namespace velto
