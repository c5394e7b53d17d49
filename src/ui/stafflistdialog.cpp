#include "stafflistdialog.h"

#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "passworddialog.h"
#include "staffdialog.h"

namespace velto {

namespace {
// A small figure: grey for restricted staff, blue for full authority.
QIcon authorityIcon(Authority authority)
{
    static QIcon icons[2];
    QIcon &icon = icons[isRestricted(authority) ? 0 : 1];
    if (icon.isNull()) {
        QPixmap pm(16, 16);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor c = isRestricted(authority) ? QColor(128, 128, 128) : QColor(30, 90, 200);
        p.setPen(c.darker(140));
        p.setBrush(c);
        p.drawEllipse(QRectF(5, 1, 6, 6));
        p.drawRoundedRect(QRectF(2.5, 8, 11, 7), 3, 3);
        p.end();
        icon = QIcon(pm);
    }
    return icon;
}

QPushButton *button(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QPushButton(text, parent);
    b->setObjectName(name);
    return b;
}
} // namespace

void openStaffList(AppContext &ctx, QWidget *parent)
{
    StaffListDialog w(ctx, parent);
    w.exec();
}

StaffListDialog::StaffListDialog(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_admin(ctx)
{
    setObjectName(QStringLiteral("frmStaffList"));
    setWindowTitle(stafftext::listCaption());

    auto *label2 = new QLabel(stafftext::listLabel2(), this);
    label2->setObjectName(QStringLiteral("Label2"));
    auto *label1 = new QLabel(stafftext::listLabel1(), this);
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setWordWrap(true);

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("ListView1"));
    m_list->setColumnCount(2);
    m_list->setHeaderLabels({stafftext::columnName(), stafftext::columnAuthority()});
    m_list->setRootIsDecorated(false);
    m_list->setUniformRowHeights(true);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    m_list->installEventFilter(this);

    m_add = button(QStringLiteral("cmdAdd_0"), stafftext::addButton(), this);
    m_delete = button(QStringLiteral("cmdDel_0"), stafftext::deleteButton(), this);
    m_properties = button(QStringLiteral("cmdAdd_1"), stafftext::propertiesButton(), this);

    m_frame = new QGroupBox(this);
    m_frame->setObjectName(QStringLiteral("Frame1"));
    m_passwordHint = new QLabel(m_frame);
    m_passwordHint->setObjectName(QStringLiteral("Label3"));
    m_passwordHint->setWordWrap(true);
    m_setPassword = button(QStringLiteral("cmdPass"), stafftext::passButton(), m_frame);
    m_setPassword->setEnabled(false);
    auto *frameLayout = new QHBoxLayout(m_frame);
    frameLayout->addWidget(m_passwordHint, 1);
    frameLayout->addWidget(m_setPassword);

    m_ok = button(QStringLiteral("cmdOk"), stafftext::okButton(), this);
    auto *cancel = button(QStringLiteral("cmdCancel_1"), stafftext::cancelButton(), this);
    cancel->setDefault(true);
    m_apply = button(QStringLiteral("cmdTekiyo"), stafftext::applyButton(), this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label2);
    layout->addWidget(label1);
    layout->addWidget(m_list, 1);
    auto *rowButtons = new QHBoxLayout;
    rowButtons->addStretch();
    rowButtons->addWidget(m_add);
    rowButtons->addWidget(m_delete);
    rowButtons->addWidget(m_properties);
    layout->addLayout(rowButtons);
    layout->addWidget(m_frame);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(m_ok);
    bottom->addWidget(cancel);
    bottom->addWidget(m_apply);
    layout->addLayout(bottom);
    setMinimumSize(440, 420);

    connect(m_list, &QTreeWidget::currentItemChanged, this, [this] { syncSelection(); });
    connect(m_list, &QTreeWidget::itemClicked, this, [this] { syncSelection(); });
    connect(m_list, &QTreeWidget::itemDoubleClicked, this, [this] { editSelectedStaff(); });
    connect(m_add, &QPushButton::clicked, this, &StaffListDialog::addStaff);
    connect(m_properties, &QPushButton::clicked, this, &StaffListDialog::editSelectedStaff);
    connect(m_delete, &QPushButton::clicked, this, &StaffListDialog::deleteSelectedStaff);
    connect(m_setPassword, &QPushButton::clicked, this, &StaffListDialog::setSelectedPassword);
    connect(m_apply, &QPushButton::clicked, this, &StaffListDialog::applyChanges);
    connect(m_ok, &QPushButton::clicked, this, &StaffListDialog::applyAndClose);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_admin.load();
    fillRows();
    m_list->setFocus();
}

void StaffListDialog::fillRows()
{
    m_filling = true;
    m_list->clear();
    for (int i = 0; i < m_admin.rowCount(); ++i) {
        const StaffRow r = m_admin.row(i);
        auto *item = new QTreeWidgetItem(m_list, {r.loginId, r.caption});
        item->setIcon(0, authorityIcon(r.authority));
    }
    if (m_admin.selectedRow() >= 0)
        m_list->setCurrentItem(m_list->topLevelItem(m_admin.selectedRow()));
    m_filling = false;
}

void StaffListDialog::syncSelection()
{
    if (m_filling)
        return;
    m_admin.setSelectedRow(m_list->indexOfTopLevelItem(m_list->currentItem()));
    updatePasswordFrame();
}

bool StaffListDialog::event(QEvent *e)
{
    const bool r = QDialog::event(e);
    if (e->type() == QEvent::WindowActivate || e->type() == QEvent::Show)
        updateButtons();
    return r;
}

bool StaffListDialog::eventFilter(QObject *watched, QEvent *e)
{
    if (watched == m_list
        && (e->type() == QEvent::FocusIn || e->type() == QEvent::KeyPress || e->type() == QEvent::KeyRelease))
        syncSelection();
    return QDialog::eventFilter(watched, e);
}

void StaffListDialog::updateButtons()
{
    if (QTreeWidgetItem *item = m_list->currentItem())
        item->setSelected(true);
    const StaffListRights r = m_admin.rights();
    m_list->setEnabled(r.list);
    m_add->setEnabled(r.add);
    m_properties->setEnabled(r.properties);
    m_delete->setEnabled(r.del);
    m_setPassword->setEnabled(r.pass);
    m_ok->setEnabled(r.ok);
    m_apply->setEnabled(r.apply);
    // The list holds the focus while the window is active.
    if (m_admin.selectedRow() >= 0)
        updatePasswordFrame();
}

void StaffListDialog::updatePasswordFrame()
{
    if (m_admin.selectedRow() < 0)
        return;
    const PasswordFrame f = m_admin.passwordFrame();
    m_frame->setTitle(f.caption);
    m_passwordHint->setText(f.hint);
    m_setPassword->setEnabled(f.passEnabled);
    m_delete->setEnabled(f.delEnabled);
}

void StaffListDialog::addStaff()
{
    m_admin.setDialogMode(StaffAdmin::AddMode);
    StaffDialog dlg(m_admin, this);
    if (dlg.exec() == QDialog::Accepted)
        fillRows();
}

void StaffListDialog::editSelectedStaff()
{
    m_admin.setDialogMode(StaffAdmin::PropertiesMode);
    if (m_admin.selectedRow() < 0)
        return;
    StaffDialog dlg(m_admin, this);
    if (dlg.exec() == QDialog::Accepted)
        fillRows();
}

void StaffListDialog::deleteSelectedStaff()
{
    if (m_admin.deleteSelected())
        fillRows();
    updatePasswordFrame();
}

void StaffListDialog::setSelectedPassword()
{
    m_admin.setPassword([this] {
        PasswordDialog dlg(m_admin, this);
        return dlg.exec() == QDialog::Accepted;
    });
}

bool StaffListDialog::applyChanges()
{
    if (m_admin.apply())
        return true;
    // Shows the table as it now stands: kept for a retry, or reloaded
    // with another administrator's changes.
    fillRows();
    updatePasswordFrame();
    return false;
}

void StaffListDialog::applyAndClose()
{
    // A failed write keeps the list open with the changes.
    if (applyChanges())
        accept();
}

} // namespace velto
