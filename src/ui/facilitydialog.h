#pragma once
#include <QDialog>
#include <QMap>

#include "facility/facilityformexit.h"
#include "facility/facilityinfo.h"

class QLineEdit;
class QPushButton;

namespace velto {
struct AppContext;

// Facility information form.
class FacilityDialog : public QDialog {
    Q_OBJECT
public:
    // cancelDisabled: the first start, when the data must be entered before
    // the board; only a successful OK leaves the form then.
    FacilityDialog(AppContext &ctx, bool cancelDisabled, QWidget *parent = nullptr);

    bool saved() const { return m_exit.saved(); }
    // The locked first-start form was left after a failed save: the program
    // ends, as Cancel would end it.
    bool endsProgram() const { return m_exit.endsProgram(); }

    // Escape and the close box act as Cancel, and not while it is disabled.
    void reject() override;

private:
    void loadFromFile();
    void showInfo(const FacilityInfo &info);
    FacilityInfo typedInfo() const;
    void checkAndSave();

    AppContext &m_ctx;
    QMap<QString, QLineEdit *> m_boxes; // by objectName
    QByteArray m_loaded;                // the stored facility the boxes were filled from
    QPushButton *m_ok;
    QPushButton *m_cancel;
    FacilityFormExit m_exit;
};

// The facility form of the first start. False when the user left it without
// saving and the program is to end.
bool runFirstStartFacilityForm(AppContext &ctx, QWidget *parent = nullptr);

// The facility form. With cancelDisabled only a successful OK leaves it
// (for an account that may save). Returns whether the facility file was
// written.
bool runFacilityForm(AppContext &ctx, QWidget *parent, bool cancelDisabled);

} // namespace velto
