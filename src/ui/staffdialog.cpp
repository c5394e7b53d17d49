#include "staffdialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "passworddialog.h"

namespace velto {

namespace {
QLabel *label(const QString &name, const QString &text, QWidget *parent, bool wrap = false)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    l->setWordWrap(wrap);
    return l;
}
} // namespace

StaffDialog::StaffDialog(StaffAdmin &admin, QWidget *parent)
    : QDialog(parent)
    , m_admin(admin)
{
    setObjectName(QStringLiteral("frmNewStaff"));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("SSTab1"));

    auto *general = new QWidget;
    general->setObjectName(QStringLiteral("tabGeneral"));
    auto *label1 = label(QStringLiteral("Label1"), stafftext::loginIdLabel(), general);
    m_loginId = new QLineEdit(general);
    m_loginId->setObjectName(QStringLiteral("txtUser"));
    m_loginId->setMaxLength(kLoginIdMaxLength);
    m_loginId->setAttribute(Qt::WA_InputMethodEnabled, false);
    m_loginId->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    auto *label2 = label(QStringLiteral("Label2"), stafftext::staffNameLabel(), general);
    m_staffName = new QLineEdit(general);
    m_staffName->setObjectName(QStringLiteral("txtName"));
    m_staffName->setMaxLength(kStaffNameMaxLength);
    m_staffName->setAttribute(Qt::WA_InputMethodEnabled, true);
    auto *label3 = label(QStringLiteral("Label3"), stafftext::generalHint(), general, true);
    label1->setBuddy(m_loginId);
    label2->setBuddy(m_staffName);
    auto *g = new QGridLayout(general);
    g->addWidget(label1, 0, 0);
    g->addWidget(m_loginId, 0, 1);
    g->addWidget(label2, 1, 0);
    g->addWidget(m_staffName, 1, 1);
    g->addWidget(label3, 2, 0, 1, 2);
    g->setRowStretch(3, 1);
    m_tabs->addTab(general, stafftext::tabGeneral());

    auto *authority = new QWidget;
    authority->setObjectName(QStringLiteral("tabAuthority"));
    m_restricted = new QRadioButton(authorityCaption(Authority::Restricted), authority);
    m_restricted->setObjectName(QStringLiteral("Option1"));
    auto *label4 = label(QStringLiteral("Label4"), authorityDescription(Authority::Restricted), authority, true);
    m_fullAuthority = new QRadioButton(authorityCaption(Authority::Full), authority);
    m_fullAuthority->setObjectName(QStringLiteral("Option2"));
    auto *label5 = label(QStringLiteral("Label5"), authorityDescription(Authority::Full), authority, true);
    auto *a = new QVBoxLayout(authority);
    a->addWidget(m_restricted);
    a->addWidget(label4);
    a->addWidget(m_fullAuthority);
    a->addWidget(label5);
    a->addStretch();
    m_tabs->addTab(authority, stafftext::tabAuthority());

    m_ok = new QPushButton(stafftext::okButton(), this);
    m_ok->setObjectName(QStringLiteral("cmdOk"));
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(stafftext::cancelButton(), this);
    cancel->setObjectName(QStringLiteral("cmdCancel_1"));
    cancel->setAutoDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(m_ok, &QPushButton::clicked, this, &StaffDialog::saveAccount);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void StaffDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_activated) {
        m_activated = true;
        showAccount();
    }
}

void StaffDialog::showAccount()
{
    const StaffDialogState st = m_admin.staffDialogState();
    if (!st.valid) {
        // The account could not be read (already reported): nothing to show.
        QTimer::singleShot(0, this, &QDialog::reject);
        return;
    }
    setWindowTitle(st.caption);
    m_ok->setText(st.okCaption);
    m_loginId->setText(st.loginId);
    m_staffName->setText(st.staffName);
    for (QRadioButton *o : {m_restricted, m_fullAuthority}) {
        o->setAutoExclusive(false);
        o->setChecked(false);
        o->setAutoExclusive(true);
    }
    if (isRestricted(st.checkedAuthority))
        m_restricted->setChecked(true);
    else if (hasFullAuthority(st.checkedAuthority))
        m_fullAuthority->setChecked(true);
    m_loginId->setEnabled(st.userEnabled);
    m_staffName->setEnabled(st.nameEnabled);
    m_restricted->setEnabled(st.option1Enabled);
    m_fullAuthority->setEnabled(st.option2Enabled);
    m_ok->setEnabled(st.okEnabled);
    m_tabs->setCurrentIndex(0);
    (st.userEnabled ? m_loginId : m_staffName)->setFocus();
}

bool StaffDialog::askPassword()
{
    PasswordDialog dlg(m_admin, this);
    return dlg.exec() == QDialog::Accepted;
}

void StaffDialog::saveAccount()
{
    StaffEntry entry;
    entry.loginId = m_loginId->text();
    entry.staffName = m_staffName->text();
    entry.authority = m_restricted->isChecked()      ? Authority::Restricted
                      : m_fullAuthority->isChecked() ? Authority::Full
                                                     : Authority::None;
    const StaffOkResult r = m_admin.staffDialogOk(entry, [this] { return askPassword(); });
    if (r.close) {
        accept();
        return;
    }
    if (r.focusControl == QLatin1String("txtUser")) {
        m_tabs->setCurrentIndex(0);
        m_loginId->setFocus();
    } else if (r.focusControl == QLatin1String("txtName")) {
        m_tabs->setCurrentIndex(0);
        m_staffName->setFocus();
    } else {
        m_tabs->setFocus();
    }
}

} // namespace velto
