#pragma once
#include <QDialog>
#include <QStringList>

#include "backup/snapshotdelete.h"

class QListView;
class QStringListModel;
class QPushButton;

namespace velto {
struct AppContext;

// Deletes marked snapshots, or all of them.
class SnapshotDeleteDialog : public QDialog {
    Q_OBJECT
public:
    explicit SnapshotDeleteDialog(AppContext &ctx, QWidget *parent = nullptr);

    // Shows the window modally; with no snapshot the user is told so and it
    // does not open. Returns the board's new date list, empty when nothing
    // was deleted.
    QStringList run();
    QStringList boardDates() const { return m_boardDates; }
    // The list as run() shows it (also for timing the window filled).
    void refill(const QStringList &names);

protected:
    // Escape presses "delete all", whose question defaults to No.
    void keyPressEvent(QKeyEvent *e) override;

private:
    void deleteSnapshots(DeleteMode mode);

    AppContext &m_ctx;
    QStringListModel *m_names;
    QListView *m_list;
    QPushButton *m_delete;
    QPushButton *m_deleteAll;
    QStringList m_boardDates;
};

// The snapshot deletion window. Returns the board's new date list (today
// first), or an empty list when nothing was deleted and the list stands.
QStringList runBackupDelete(AppContext &ctx, QWidget *parent);

} // namespace velto
