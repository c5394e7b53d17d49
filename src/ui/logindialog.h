#pragma once
#include <QDialog>

#include "staff/accounts.h"

class QLineEdit;
class QPushButton;

namespace velto {

class LoginDialog : public QDialog {
    Q_OBJECT
public:
    LoginDialog(AppContext &ctx, AccountTable &table, QWidget *parent = nullptr);

    // True after the third failure: the program must end.
    bool exhausted() const { return m_exhausted; }

protected:
    bool event(QEvent *e) override;

private:
    void logIn();

    AppContext &m_ctx;
    AccountTable &m_table;
    QLineEdit *m_loginId;
    QLineEdit *m_password;
    bool m_exhausted = false;
};

} // namespace velto
