#pragma once
// The patient record window: 21 tabs of fields built from the field table.
#include <QDialog>
#include <QHash>
#include <QVector>

#include "record/patientrecord.h"
#include "recordwindowhost.h"

class QAbstractButton;
class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStackedWidget;
class QStatusBar;
class QVBoxLayout;

namespace velto {
struct AppContext;
struct RecordField;

class PatientRecordDialog : public QDialog {
    Q_OBJECT
public:
    // Shows tab page tab (0-based, as the tab strip numbers them).
    void selectTab(int tab);
    PatientRecordDialog(AppContext &ctx, RecordHost host, QWidget *parent = nullptr);

    // The values on screen, saved or not (the summary prints these).
    PatientRecord record() const;
    // Shows the page holding the field and gives it the focus: where the
    // input check sends the user. The page is built if it was never shown.
    void showField(const QString &objectName);
    bool readOnlyMode() const { return m_readOnly; }
    // The bed entry read at opening, then the key of the last save; cleared by Cancel.
    QString oldKey() const { return m_oldKey; }
    QString statusText() const;
    int currentTab() const;
    void setCurrentTab(int tab);

    // Photo selection with a chosen file name (empty: the dialog was cancelled).
    void applyPhotoChoice(const QString &fileName);

    // OK: saves and closes; the window stays open unless saved.
    void saveAndClose();
    // Save: true when the record was written.
    bool save();
    // Cancel: closes without saving and forgets the key.
    void cancelAndClose();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildUi();
    QWidget *buildPersonalTab();
    QWidget *buildVitalTab();
    QWidget *buildGenericTab(int tab);
    QWidget *buildPage(int tab);
    // A page gets its fields the first time it is shown; until then the
    // record read (or saved) holds their values.
    void ensurePageBuilt(int tab);
    bool pageBuilt(int tab) const;
    QSize largestPageSize(const QSize &firstPage);
    QWidget *makeField(const RecordField &f);
    QWidget *fieldWidget(const QString &objectName) const;
    void loadRecord();
    void applyReadOnly(bool readOnly);
    void showEditable(QWidget *w, bool editable);
    QSize m_pageNeed; // the largest page, whole
    void showInitialValues();
    void setFieldValue(const RecordField &f, const QString &value);
    QString fieldValue(const RecordField &f) const;
    void updateAgeFromBirthDate();
    int writeRecord(const PatientRecord &r); // a SaveResult::Outcome
    bool showPhoto(const QString &path, QByteArray bytes);
    void choosePhoto();
    void setPhotoButtons(bool photoShown);

    AppContext &m_ctx;
    RecordHost m_host;
    QHash<QString, QWidget *> m_fields;  // by objectName, pages built so far
    PatientRecord m_values;              // the values of the fields not built yet
    QHash<int, QWidget *> m_lastTabStop; // by page, once built
    QString m_oldKey;
    QByteArray m_loaded; // the record as read or last saved here
    bool m_readOnly = false;
    bool m_modeApplied = false; // pages built from then on take m_readOnly
    bool m_loadFailed = false;
    QString m_loadFailedText;
    bool m_inAgeCheck = false;

    QButtonGroup *m_tabButtons = nullptr;
    QVector<QWidget *> m_tabRows;
    QVBoxLayout *m_rowLayout = nullptr;
    QStackedWidget *m_pages = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_save = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_help = nullptr;
    QPushButton *m_photo = nullptr;
    QPushButton *m_photoChange = nullptr;
    QLabel *m_image = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_statusText = nullptr;
};

} // namespace velto
