#include "optionsdialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/appcontext.h"

namespace velto {

OptionsDialog::OptionsDialog(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmOptionDlg"));
    setWindowTitle(optionstext::caption);

    auto *tabs = new QTabWidget(this);
    tabs->setObjectName(QStringLiteral("SSTab1"));

    auto *backupPage = new QWidget;
    auto *frame1 = new QGroupBox(optionstext::frameBackup, backupPage);
    frame1->setObjectName(QStringLiteral("Frame1"));
    m_autoBackup = new QCheckBox(optionstext::chkBackOn, frame1);
    m_autoBackup->setObjectName(QStringLiteral("chkBackOn"));
    m_noAutoBackup = new QCheckBox(optionstext::chkBackOff, frame1);
    m_noAutoBackup->setObjectName(QStringLiteral("chkBackOff"));
    auto *f1 = new QVBoxLayout(frame1);
    f1->addWidget(m_autoBackup);
    f1->addWidget(m_noAutoBackup);
    auto *note = new QLabel(optionstext::diskNote, backupPage);
    note->setObjectName(QStringLiteral("Label2"));
    auto *b = new QVBoxLayout(backupPage);
    b->addWidget(frame1);
    b->addWidget(note);
    b->addStretch();
    tabs->addTab(backupPage, optionstext::tabBackup);

    auto *midashiPage = new QWidget;
    auto *frame2 = new QGroupBox(optionstext::frameMidashi, midashiPage);
    frame2->setObjectName(QStringLiteral("Frame2"));
    m_skipSplash = new QCheckBox(optionstext::chkMidashi, frame2);
    m_skipSplash->setObjectName(QStringLiteral("chkMidashi"));
    auto *f2 = new QVBoxLayout(frame2);
    f2->addWidget(m_skipSplash);
    auto *m = new QVBoxLayout(midashiPage);
    m->addWidget(frame2);
    m->addStretch();
    tabs->addTab(midashiPage, optionstext::tabMidashi);

    auto *displayPage = new QWidget;
    auto *frame3 = new QGroupBox(optionstext::frameDisplay, displayPage);
    frame3->setObjectName(QStringLiteral("Frame3"));
    m_hideNames = new QCheckBox(optionstext::chkHideNames, frame3);
    m_hideNames->setObjectName(QStringLiteral("chkHideNames"));
    auto *hideNote = new QLabel(optionstext::hideNamesNote, frame3);
    hideNote->setWordWrap(true);
    hideNote->setMinimumWidth(hideNote->fontMetrics().horizontalAdvance(QString(26, QChar(0x3042))));
    auto *f3 = new QVBoxLayout(frame3);
    f3->addWidget(m_hideNames);
    f3->addWidget(hideNote);
    auto *d = new QVBoxLayout(displayPage);
    d->addWidget(frame3);
    d->addStretch();
    tabs->addTab(displayPage, optionstext::tabDisplay);

    m_ok = new QPushButton(optionstext::buttonOk, this);
    m_ok->setObjectName(QStringLiteral("cmdOK"));
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(optionstext::buttonCancel, this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    m_apply = new QPushButton(optionstext::buttonApply, this);
    m_apply->setObjectName(QStringLiteral("cmdApply"));
    m_apply->setAutoDefault(false);

    auto *v = new QVBoxLayout(this);
    v->addWidget(tabs);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    buttons->addWidget(m_apply);
    v->addLayout(buttons);

    // clicked, not toggled: only the user's click moves the partner box.
    connect(m_autoBackup, &QCheckBox::clicked, this, [this](bool checked) {
        m_form.clickBackOn(checked);
        showForm(m_form);
    });
    connect(m_noAutoBackup, &QCheckBox::clicked, this, [this](bool checked) {
        m_form.clickBackOff(checked);
        showForm(m_form);
    });
    connect(m_skipSplash, &QCheckBox::clicked, this, [this](bool checked) { m_form.midashi = checked; });
    connect(m_hideNames, &QCheckBox::clicked, this, [this](bool checked) { m_form.hideNames = checked; });
    connect(m_apply, &QPushButton::clicked, this, [this] { apply(); });
    connect(m_ok, &QPushButton::clicked, this, [this] {
        if (apply())
            accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    m_ok->setEnabled(false);
    m_apply->setEnabled(false);
}

void OptionsDialog::showEvent(QShowEvent *e)
{
    QDialog::showEvent(e);
    // Once per opening: a message box in front of the dialog must not reset
    // what the user has ticked.
    if (!m_activated) {
        m_activated = true;
        activate();
    }
}

void OptionsDialog::activate()
{
    m_form = optionsActivate(m_ctx);
    showForm(m_form);
    m_ok->setEnabled(m_form.canApply);
    m_apply->setEnabled(m_form.canApply);
}

void OptionsDialog::showForm(const OptionsForm &form)
{
    m_autoBackup->setChecked(form.backOn);
    m_noAutoBackup->setChecked(form.backOff);
    m_skipSplash->setChecked(form.midashi);
    m_hideNames->setChecked(form.hideNames);
}

bool OptionsDialog::apply()
{
    if (!m_form.canApply)
        return false;
    return optionsApply(m_ctx, m_form);
}

void runOptions(AppContext &ctx, QWidget *parent)
{
    OptionsDialog w(ctx, parent);
    w.exec();
}

} // namespace velto
