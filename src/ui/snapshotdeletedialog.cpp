#include "snapshotdeletedialog.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/appcontext.h"
#include "namelistview.h"

namespace velto {

SnapshotDeleteDialog::SnapshotDeleteDialog(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
{
    BusyGuard busy(ctx.busy);
    setObjectName(QStringLiteral("frmBackDel"));
    setWindowTitle(backupdeltext::caption);

    m_names = new QStringListModel(this);
    m_list = newNameListView(m_names, this);
    m_list->setObjectName(QStringLiteral("List1"));
    m_list->setSelectionMode(QAbstractItemView::MultiSelection);
    m_delete = new QPushButton(backupdeltext::buttonDelete, this);
    m_delete->setObjectName(QStringLiteral("Command1"));
    m_delete->setToolTip(backupdeltext::tipDelete);
    m_delete->setAutoDefault(false);
    m_deleteAll = new QPushButton(backupdeltext::buttonDeleteAll, this);
    m_deleteAll->setObjectName(QStringLiteral("Command3"));
    m_deleteAll->setToolTip(backupdeltext::tipDeleteAll);
    m_deleteAll->setAutoDefault(false);
    auto *cancel = new QPushButton(backupdeltext::buttonCancel, this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setToolTip(backupdeltext::tipCancel);
    cancel->setDefault(true);

    auto *v = new QVBoxLayout(this);
    v->addWidget(m_list);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_delete);
    buttons->addWidget(m_deleteAll);
    buttons->addStretch();
    buttons->addWidget(cancel);
    v->addLayout(buttons);

    const bool may = canDeleteSnapshots(ctx);
    m_delete->setEnabled(may);
    m_deleteAll->setEnabled(may);
    connect(m_delete, &QPushButton::clicked, this, [this] { deleteSnapshots(DeleteMode::Marked); });
    connect(m_deleteAll, &QPushButton::clicked, this, [this] { deleteSnapshots(DeleteMode::All); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

QStringList SnapshotDeleteDialog::run()
{
    const SnapshotListing listing = activateSnapshotList(m_ctx);
    if (listing.hide)
        return {};
    refill(listing.names);
    exec();
    return m_boardDates;
}

void SnapshotDeleteDialog::keyPressEvent(QKeyEvent *e)
{
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        if (m_deleteAll->isEnabled())
            m_deleteAll->click();
        return;
    }
    QDialog::keyPressEvent(e);
}

void SnapshotDeleteDialog::refill(const QStringList &names)
{
    m_names->setStringList(names);
}

void SnapshotDeleteDialog::deleteSnapshots(DeleteMode mode)
{
    const QStringList listed = m_names->stringList();
    QStringList marked;
    const QItemSelectionModel *selection = m_list->selectionModel();
    for (int i = 0; i < listed.size(); ++i) {
        if (selection->isRowSelected(i))
            marked << listed.at(i);
    }
    const DelClickResult r = delClick(m_ctx, mode, listed, marked);
    if (r.deleted) {
        refill(r.listNames);
        m_boardDates = r.boardDates;
    }
    if (r.closeWindow)
        accept();
}

QStringList runBackupDelete(AppContext &ctx, QWidget *parent)
{
    SnapshotDeleteDialog w(ctx, parent);
    return w.run();
}

} // namespace velto
