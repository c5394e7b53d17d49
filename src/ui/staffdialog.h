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
    void formActivate();
    void cmdOkClick();
    bool askPassword();

    StaffAdmin &m_admin;
    QTabWidget *m_tabs;
    QLineEdit *m_user;
    QLineEdit *m_name;
    QRadioButton *m_option1;
    QRadioButton *m_option2;
    QPushButton *m_ok;
    bool m_activated = false;
};

} // namespace velto
