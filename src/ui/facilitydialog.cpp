#include "facilitydialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWindow>

#include "core/appcontext.h"

namespace velto {

namespace {

QLabel *label(const QString &text, const char *name, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
}

} // namespace

FacilityDialog::FacilityDialog(AppContext &ctx, bool cancelDisabled, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_exit(cancelDisabled, facilityCanSave(ctx))
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(facilitytext::caption);

    QLineEdit *previous = nullptr;
    for (const FacilityField &f : facilityFields()) {
        auto *box = new QLineEdit(this);
        box->setObjectName(QString::fromLatin1(f.boxName));
        box->setMaxLength(f.maxLength);
        box->setAttribute(Qt::WA_InputMethodEnabled, f.inputMethodOn);
        if (!f.inputMethodOn)
            box->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
        m_boxes.insert(box->objectName(), box);
        if (previous)
            setTabOrder(previous, box);
        previous = box;
    }

    m_ok = new QPushButton(facilitytext::buttonOk, this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    m_cancel = new QPushButton(facilitytext::buttonCancel, this);
    m_cancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cancel->setAutoDefault(false);
    setTabOrder(previous, m_ok);
    setTabOrder(m_ok, m_cancel);

    auto box = [this](const char *name) { return m_boxes.value(QString::fromLatin1(name)); };
    auto *grid = new QGridLayout(this);
    grid->addWidget(label(facilitytext::labelHospital, "Label1", this), 0, 0);
    grid->addWidget(box("txtShisetu"), 0, 1, 1, 3);
    grid->addWidget(label(facilitytext::labelDepartment, "Label2", this), 1, 0);
    grid->addWidget(box("txtKaName"), 1, 1, 1, 3);
    grid->addWidget(label(facilitytext::labelZip, "Label3", this), 2, 0);
    grid->addWidget(box("txtZip1"), 2, 1);
    grid->addWidget(label(facilitytext::labelZipDash, "Label4", this), 2, 2);
    grid->addWidget(box("txtZip2"), 2, 3);
    grid->addWidget(label(facilitytext::labelAddress, "Label5", this), 3, 0);
    grid->addWidget(box("txtZip3"), 3, 1, 1, 3);
    grid->addWidget(box("txtZip4"), 4, 1, 1, 3);
    grid->addWidget(label(facilitytext::labelTel, "Label6", this), 5, 0);
    grid->addWidget(box("txtTel"), 5, 1, 1, 3);
    grid->addWidget(label(facilitytext::labelFax, "Label7", this), 6, 0);
    grid->addWidget(box("txtFax"), 6, 1, 1, 3);
    grid->addWidget(label(facilitytext::labelMail, "Label8", this), 7, 0);
    grid->addWidget(box("txtMail"), 7, 1, 1, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    grid->addLayout(buttons, 8, 0, 1, 4);

    m_ok->setEnabled(facilityCanSave(ctx));
    m_cancel->setEnabled(!m_exit.locked());
    if (m_exit.locked())
        setWindowFlag(Qt::WindowCloseButtonHint, false);

    connect(m_ok, &QPushButton::clicked, this, &FacilityDialog::checkAndSave);
    connect(m_cancel, &QPushButton::clicked, this, &FacilityDialog::reject);

    loadFromFile();
}

void FacilityDialog::loadFromFile()
{
    BusyGuard busy(m_ctx.busy);
    FacilityInfo info;
    loadFacilityInfo(m_ctx, &info, &m_loaded); // reports a bad file itself; the form opens all the same
    showInfo(info);
}

void FacilityDialog::showInfo(const FacilityInfo &info)
{
    for (const FacilityField &f : facilityFields())
        m_boxes.value(QString::fromLatin1(f.boxName))->setText(info.*f.member);
}

FacilityInfo FacilityDialog::typedInfo() const
{
    FacilityInfo info;
    for (const FacilityField &f : facilityFields())
        info.*f.member = m_boxes.value(QString::fromLatin1(f.boxName))->text();
    return info;
}

void FacilityDialog::checkAndSave()
{
    FacilityInfo info = typedInfo();
    const FacilityOkResult r = facilityOk(m_ctx, &info, &m_loaded);
    showInfo(info); // an address typed only in the second line has moved up, or another terminal's
    const bool wasLocked = m_exit.locked();
    if (m_exit.okPressed(r)) {
        accept();
        return;
    }
    if (wasLocked && !m_exit.locked()) {
        m_cancel->setEnabled(true);
        // The widget's own flag change would hide the dialog and end its
        // exec(); the shown window takes the close box directly.
        if (QWindow *window = windowHandle(); window && isVisible())
            window->setFlags(window->flags() | Qt::WindowCloseButtonHint);
        else
            setWindowFlag(Qt::WindowCloseButtonHint, true);
    }
    if (QLineEdit *focus = m_boxes.value(r.focus))
        focus->setFocus();
}

void FacilityDialog::reject()
{
    if (m_exit.cancelPressed())
        QDialog::reject();
}

bool runFacilityForm(AppContext &ctx, QWidget *parent, bool cancelDisabled)
{
    FacilityDialog w(ctx, cancelDisabled, parent);
    w.exec();
    return w.saved();
}

bool runFirstStartFacilityForm(AppContext &ctx, QWidget *parent)
{
    FacilityDialog w(ctx, true, parent);
    w.exec();
    return !w.endsProgram();
}

} // namespace velto
