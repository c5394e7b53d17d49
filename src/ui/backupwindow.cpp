#include "backupwindow.h"

#include <QLabel>
#include <QTimer>
#include <QVBoxLayout>

#include "backup/snapshot.h"
#include "core/appcontext.h"

namespace velto {

BackupWindow::BackupWindow(AppContext &ctx, const QString &message, QWidget *parent, int paintMs)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_paintMs(paintMs)
{
    setObjectName(QStringLiteral("frmBackUp"));
    setWindowTitle(backuptext::caption);
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    auto *label = new QLabel(message, this);
    label->setObjectName(QStringLiteral("Lavel"));
    label->setAlignment(Qt::AlignCenter);
    auto *v = new QVBoxLayout(this);
    v->addWidget(label);
    setMinimumWidth(280);
}

void BackupWindow::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    if (!m_started) {
        m_started = true;
        QTimer::singleShot(0, this, &BackupWindow::makeSnapshotAndClose);
    }
}

void BackupWindow::makeSnapshotAndClose()
{
    {
        BusyGuard busy(m_ctx.busy);
        waitForPaint(m_paintMs);
    }
    m_succeeded = makeSnapshot(m_ctx);
    accept();
}

void runManualBackup(AppContext &ctx, QWidget *parent)
{
    if (!askManualBackup(ctx))
        return;
    BackupWindow w(ctx, backuptext::labelManual, parent);
    w.exec();
}

void runAutoBackup(AppContext &ctx, QWidget *parent)
{
    if (!autoBackupDue(ctx))
        return;
    BackupWindow w(ctx, backuptext::labelAuto, parent);
    w.exec();
}

} // namespace velto
