#pragma once
#include <QDialog>

#include "facility/options.h"

class QCheckBox;
class QPushButton;

namespace velto {
struct AppContext;

// Automatic backup on/off and the title screen.
class OptionsDialog : public QDialog {
    Q_OBJECT
public:
    explicit OptionsDialog(AppContext &ctx, QWidget *parent = nullptr);

protected:
    void showEvent(QShowEvent *e) override;

private:
    void activate();
    void showForm(const OptionsForm &form);
    bool apply();

    AppContext &m_ctx;
    OptionsForm m_form;
    bool m_activated = false;
    QCheckBox *m_autoBackup;
    QCheckBox *m_noAutoBackup;
    QCheckBox *m_skipSplash;
    QCheckBox *m_hideNames;
    QPushButton *m_ok;
    QPushButton *m_apply;
};

// The options dialog; the new values act at once through ctx.optionValues.
void runOptions(AppContext &ctx, QWidget *parent);

} // namespace velto
