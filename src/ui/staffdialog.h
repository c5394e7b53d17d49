#pragma once
#include <QDialog>

#include "staff/staffadmin.h"

class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;

namespace velto {

// Adds an account (StaffAdmin::AddMode) or shows and changes the selected one.
class StaffDialog : public QDialog {
    Q_OBJECT
public:
    StaffDialog(StaffAdmin &admin, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;

private:
    void showAccount();
    void saveAccount();
    bool askPassword();

    StaffAdmin &m_admin;
    QTabWidget *m_tabs;
    QLineEdit *m_loginId;
    QLineEdit *m_staffName;
    QRadioButton *m_restricted;
    QRadioButton *m_fullAuthority;
    QPushButton *m_ok;
    bool m_activated = false;
};

} // namespace velto
