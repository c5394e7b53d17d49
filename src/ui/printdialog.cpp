#include "printdialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "systemprinter.h"

namespace velto {

PrintDialog::PrintDialog(AppContext &ctx, const PatientRecord &record, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_record(record)
    , m_printerSource([] { return QPrinterInfo::defaultPrinter(); })
{
    setObjectName(QStringLiteral("frmPrint"));
    setWindowTitle(printtext::Caption);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *frame = new QGroupBox(printtext::PagesFrame, this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *boxes = new QVBoxLayout(frame);
    const QString captions[3] = {printtext::Page1, printtext::Page2, printtext::Page3};
    for (int i = 0; i < 3; ++i) {
        m_pageChecks[i] = new QCheckBox(captions[i], frame);
        m_pageChecks[i]->setObjectName(QStringLiteral("Check%1").arg(i + 1));
        m_pageChecks[i]->setChecked(true);
        boxes->addWidget(m_pageChecks[i]);
    }

    auto *print = new QPushButton(printtext::PrintButton, this);
    print->setObjectName(QStringLiteral("Command2"));
    print->setToolTip(printtext::PrintTip);
    print->setDefault(true);
    auto *cancel = new QPushButton(printtext::CancelButton, this);
    cancel->setObjectName(QStringLiteral("Command1"));
    cancel->setToolTip(printtext::CancelTip);
    cancel->setAutoDefault(false);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(print);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addLayout(buttons);

    connect(print, &QPushButton::clicked, this, [this] { printTickedPages(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

print::PrintOutcome PrintDialog::printTickedPages()
{
    print::SystemPagePrinter printer(m_printerSource);
    const print::PrintOutcome outcome = print::printTickedPages(
        m_ctx, m_record, [this](int page) { return m_pageChecks[page - 1]->isChecked(); }, printer);
    if (outcome == print::PrintOutcome::Printed)
        accept();
    return outcome;
}

void openPrintDialog(AppContext &ctx, const PatientRecord &record, QWidget *parent)
{
    PrintDialog dialog(ctx, record, parent);
    dialog.exec();
}

} // namespace velto
