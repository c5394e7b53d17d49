#pragma once
#include <QDialog>

#include "staff/staffadmin.h"

class QGroupBox;
class QLabel;
class QPushButton;
class QTreeWidget;

namespace velto {

// Opens the staff list modally (the board's menu item and toolbar button).
void openStaffList(AppContext &ctx, QWidget *parent);

class StaffListDialog : public QDialog {
    Q_OBJECT
public:
    StaffListDialog(AppContext &ctx, QWidget *parent = nullptr);

    StaffAdmin &admin() { return m_admin; }

protected:
    bool event(QEvent *e) override;
    bool eventFilter(QObject *watched, QEvent *e) override;

private:
    void fillRows();
    void updateButtons();
    void updatePasswordFrame();
    void syncSelection();
    void addStaff();
    void editSelectedStaff();
    void deleteSelectedStaff();
    void setSelectedPassword();
    bool applyChanges();
    void applyAndClose();

    StaffAdmin m_admin;
    QTreeWidget *m_list;
    QPushButton *m_add;
    QPushButton *m_properties;
    QPushButton *m_delete;
    QPushButton *m_setPassword;
    QPushButton *m_ok;
    QPushButton *m_apply;
    QGroupBox *m_frame;
    QLabel *m_passwordHint;
    bool m_filling = false;
};

} // namespace velto
