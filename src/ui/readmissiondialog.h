#pragma once
#include <QDialog>

class QListView;
class QStringListModel;
class QPushButton;

namespace velto {
struct AppContext;
class BoardModel;

// Readmission chooser: the kept records of discharged patients, for a free bed.
class ReadmissionDialog : public QDialog {
    Q_OBJECT
public:
    ReadmissionDialog(AppContext &ctx, BoardModel &model, int bed, QWidget *parent = nullptr);

    // Shows the chooser modally; with nothing kept the user is told so and
    // it does not open. Returns whether a patient was readmitted.
    bool run();
    bool readmitted() const { return m_readmitted; }
    // The kept records as run() lists them (also for timing the window filled).
    void fill();

private:
    void click();

    AppContext &m_ctx;
    BoardModel &m_model;
    int m_bed;
    QStringListModel *m_keys;
    QListView *m_list;
    QPushButton *m_ok;
    bool m_readmitted = false;
};

// Readmission into bed through the chooser; returns whether the board changed
// (the layout has then been saved already).
bool runReadmit(AppContext &ctx, BoardModel &model, int bed, QWidget *parent);

} // namespace velto
