#include "readmissiondialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "board/admission.h"
#include "core/appcontext.h"
#include "namelistview.h"

namespace velto {

ReadmissionDialog::ReadmissionDialog(AppContext &ctx, BoardModel &model, int bed, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
    , m_model(model)
    , m_bed(bed)
{
    setObjectName(QStringLiteral("frmSai"));
    setWindowTitle(admissiontext::saiCaption);

    auto *label = new QLabel(admissiontext::saiLabel, this);
    label->setObjectName(QStringLiteral("Label2"));
    m_keys = new QStringListModel(this);
    m_list = newNameListView(m_keys, this);
    m_list->setObjectName(QStringLiteral("File1"));
    m_list->setToolTip(admissiontext::saiListTip);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_ok = new QPushButton(admissiontext::saiOk, this);
    m_ok->setObjectName(QStringLiteral("Command1"));
    m_ok->setDefault(true);
    auto *cancel = new QPushButton(admissiontext::saiCancel, this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setToolTip(admissiontext::saiCancelTip);
    cancel->setAutoDefault(false);

    auto *v = new QVBoxLayout(this);
    v->addWidget(label);
    v->addWidget(m_list);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    v->addLayout(buttons);

    m_ok->setEnabled(canReadmit(ctx));
    connect(m_ok, &QPushButton::clicked, this, &ReadmissionDialog::click);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_list, &QListView::doubleClicked, this, [this](const QModelIndex &index) {
        if (!canReadmit(m_ctx))
            return;
        m_list->setCurrentIndex(index);
        click();
    });
}

void ReadmissionDialog::fill()
{
    BusyGuard busy(m_ctx.busy);
    m_keys->setStringList(keptRecords(m_ctx));
    if (m_keys->rowCount() > 0)
        m_list->setCurrentIndex(m_keys->index(0));
}

bool ReadmissionDialog::run()
{
    const KeptListing listing = activateKeptList(m_ctx);
    if (listing.close)
        return false;
    fill();
    exec();
    return m_readmitted;
}

void ReadmissionDialog::click()
{
    const QModelIndex current = m_list->currentIndex();
    const ReadmitResult r
        = readmitClick(m_ctx, m_model, m_bed, current.isValid() ? current.data().toString() : QString());
    m_readmitted = r.readmitted;
    if (r.closeChooser)
        accept();
}

bool runReadmit(AppContext &ctx, BoardModel &model, int bed, QWidget *parent)
{
    return openReadmission(ctx, model, bed, [&] {
        ReadmissionDialog chooser(ctx, model, bed, parent);
        return chooser.run();
    });
}

} // namespace velto
