#pragma once
// The ward's history, read-only: who did what and when, filtered by days,
// patient and staff member, newest first, and exported as a CSV file.
#include <QDialog>
#include <QList>

#include "core/history.h"

class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;

namespace velto {
struct AppContext;
class HistoryTableModel;

class HistoryWindow : public QDialog {
    Q_OBJECT
public:
    // Reads the history once; a history that cannot be read leaves the
    // table empty and says why in the status line.
    explicit HistoryWindow(AppContext &ctx, QWidget *parent = nullptr);

    // The events shown, in the table's order.
    const QList<HistoryEvent> &shownEvents() const;
    QString statusText() const;

    // The export button: asks where, then writes the events shown.
    void exportShown();

private:
    void applyFilter();

    AppContext &m_ctx;
    QList<HistoryEvent> m_events; // the whole history, oldest first
    bool m_readable = true;
    HistoryTableModel *m_model = nullptr;
    QDateEdit *m_from = nullptr;
    QDateEdit *m_to = nullptr;
    QLineEdit *m_patient = nullptr;
    QComboBox *m_staff = nullptr;
    QTreeView *m_table = nullptr;
    QPushButton *m_export = nullptr;
    QLabel *m_status = nullptr;
};

// Opens the history window modally over parent.
void openHistoryWindow(AppContext &ctx, QWidget *parent);

} // namespace velto
