#pragma once
#include <QDialog>

namespace velto {
struct AppContext;

// Shows its message while today's snapshot is made, then closes by itself.
class BackupWindow : public QDialog {
    Q_OBJECT
public:
    // paintMs: how long the message is shown (with events handled) first.
    BackupWindow(AppContext &ctx, const QString &message, QWidget *parent = nullptr, int paintMs = 1000);
    bool succeeded() const { return m_succeeded; }

    // Neither Escape nor the close box stops a backup half way.
    void reject() override { }

protected:
    void showEvent(QShowEvent *e) override;

private:
    void makeSnapshotAndClose();

    AppContext &m_ctx;
    int m_paintMs;
    bool m_started = false;
    bool m_succeeded = false;
};

// Menu item Backup: asks, then makes today's snapshot.
void runManualBackup(AppContext &ctx, QWidget *parent);
// The board's closing: the snapshot when it is due (option on, full authority).
void runAutoBackup(AppContext &ctx, QWidget *parent);

} // namespace velto
