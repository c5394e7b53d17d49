#pragma once
#include <QDialog>

#include "staff/staffadmin.h"

class QLineEdit;

namespace velto {

// Sets the password of the account being worked on (StaffAdmin::selectedAccount).
class PasswordDialog : public QDialog {
    Q_OBJECT
public:
    PasswordDialog(StaffAdmin &admin, QWidget *parent = nullptr);

private:
    void confirmPassword();

    StaffAdmin &m_admin;
    QLineEdit *m_password;
    QLineEdit *m_again;
};

} // namespace velto
