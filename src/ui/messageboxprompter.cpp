#include "messageboxprompter.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>

namespace velto {

namespace {
// A yes/no question can only be answered: no Escape, no close box.
class AnswerBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool yesNo = false;

protected:
    void keyPressEvent(QKeyEvent *e) override
    {
        if (yesNo && e->key() == Qt::Key_Escape)
            return;
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent *e) override
    {
        if (yesNo && !clickedButton()) {
            e->ignore();
            return;
        }
        QMessageBox::closeEvent(e);
    }
};

QMessageBox::Icon iconOf(DialogIcon i)
{
    switch (i) {
    case DialogIcon::Critical:
        return QMessageBox::Critical;
    case DialogIcon::Warning:
        return QMessageBox::Warning;
    case DialogIcon::Question:
        return QMessageBox::Question;
    case DialogIcon::Information:
        return QMessageBox::Information;
    }
    return QMessageBox::NoIcon;
}
} // namespace

QMessageBox *MessageBoxPrompter::build(DialogKind kind, const QString &text, QWidget *parent)
{
    const DialogSpec look = dialogSpec(kind);
    auto *box = new AnswerBox(parent ? parent : QApplication::activeWindow());
    box->setObjectName(QStringLiteral("messageBox"));
    box->yesNo = look.yesNo;
    box->setWindowTitle(look.title);
    box->setIcon(iconOf(look.icon));
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box->setText(shown);
    box->setTextFormat(Qt::PlainText);
    if (look.yesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(look.defaultYes ? QMessageBox::Yes : QMessageBox::No);
        box->setEscapeButton(static_cast<QAbstractButton *>(nullptr));
        box->setWindowFlag(Qt::WindowCloseButtonHint, false);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
        box->setDefaultButton(QMessageBox::Ok);
    }
    box->setWindowModality(Qt::ApplicationModal);
    return box;
}

bool MessageBoxPrompter::show(DialogKind kind, const QString &text)
{
    // The user must see a normal pointer while asked.
    const bool overridden = QApplication::overrideCursor() != nullptr;
    if (overridden)
        QApplication::setOverrideCursor(Qt::ArrowCursor);
    QMessageBox *box = build(kind, text);
    box->exec();
    const bool yes = box->clickedButton() == box->button(QMessageBox::Yes);
    delete box;
    if (overridden)
        QApplication::restoreOverrideCursor();
    return yes;
}

void MessageBoxPrompter::errorMsg(const QString &t)
{
    show(DialogKind::Error, t);
}
bool MessageBoxPrompter::warnYesNo(const QString &t)
{
    return show(DialogKind::WarnYesNo, t);
}
bool MessageBoxPrompter::warnYesNoDefNo(const QString &t)
{
    return show(DialogKind::WarnYesNoDefNo, t);
}
void MessageBoxPrompter::warnMsg(const QString &t)
{
    show(DialogKind::Warn, t);
}
bool MessageBoxPrompter::confirmYesNo(const QString &t)
{
    return show(DialogKind::ConfirmYesNo, t);
}
void MessageBoxPrompter::infoMsg(const QString &t)
{
    show(DialogKind::Info, t);
}

} // namespace velto
