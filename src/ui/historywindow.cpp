#include "historywindow.h"

#include <QAbstractTableModel>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTreeView>
#include <QVBoxLayout>

#include "board/historyfilter.h"
#include "board/historytexts.h"
#include "core/appcontext.h"
#include "savefiledialog.h"
#include "statusrow.h"
#include "store/wardstore.h"

namespace velto {

namespace {

enum Column { Time, LoginId, StaffName, Kind, Room, Bed, Patient, Detail, ColumnCount };

} // namespace

// The shown events as table rows; a history of years stays quick to show.
class HistoryTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setEvents(QList<HistoryEvent> events)
    {
        beginResetModel();
        m_events = std::move(events);
        endResetModel();
    }
    const QList<HistoryEvent> &events() const { return m_events; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : int(m_events.size());
    }
    int columnCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : ColumnCount;
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_events.size())
            return QVariant();
        const HistoryEvent &e = m_events.at(index.row());
        if (role == Qt::ToolTipRole && index.column() == Detail)
            return e.detail;
        if (role != Qt::DisplayRole)
            return QVariant();
        switch (index.column()) {
        case Time:
            return e.time;
        case LoginId:
            return e.loginId;
        case StaffName:
            return e.staffName;
        case Kind:
            return e.kind;
        case Room:
            return e.room;
        case Bed:
            return e.bed;
        case Patient:
            return patientDisplayName(e.patientKey);
        case Detail:
            // One line per row: the tooltip shows a detail of several.
            return QString(e.detail).replace(QLatin1Char('\n'), QLatin1Char(' ')).remove(QLatin1Char('\r'));
        }
        return QVariant();
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section < historytext::Columns.size())
            return historytext::Columns.at(section);
        return QVariant();
    }

private:
    QList<HistoryEvent> m_events;
};

namespace {

// Rows a little taller than the text: a long list stays easy to follow.
class RoomyRowDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return QStyledItemDelegate::sizeHint(option, index) + QSize(0, 6);
    }
};

} // namespace

HistoryWindow::HistoryWindow(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmHistory"));
    setWindowTitle(historytext::WindowCaption);
    setSizeGripEnabled(true);

    QString readError;
    {
        BusyGuard busy(ctx.busy);
        m_readable = ctx.store->readHistory(&m_events, &readError);
    }
    if (!m_readable)
        m_events.clear();

    const QDate today = ctx.clock->now().date();
    m_from = new QDateEdit(today.addDays(-29), this);
    m_from->setObjectName(QStringLiteral("dateFrom"));
    m_to = new QDateEdit(today, this);
    m_to->setObjectName(QStringLiteral("dateTo"));
    for (QDateEdit *d : {m_from, m_to}) {
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    }
    m_patient = new QLineEdit(this);
    m_patient->setObjectName(QStringLiteral("txtPatient"));
    m_patient->setPlaceholderText(historytext::PatientPlaceholder);
    m_patient->setToolTip(historytext::PatientTip);
    m_patient->setClearButtonEnabled(true);
    m_patient->setMinimumWidth(fontMetrics().horizontalAdvance(historytext::PatientPlaceholder) + 40);
    m_staff = new QComboBox(this);
    m_staff->setObjectName(QStringLiteral("cmbStaff"));
    m_staff->addItem(historytext::AllStaff, QString());
    for (const auto &staff : staffInHistory(m_events))
        m_staff->addItem(QStringLiteral("%1（%2）").arg(staff.second, staff.first), staff.first);
    m_staff->setSizeAdjustPolicy(QComboBox::AdjustToContents);

    auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    auto *filters = new QHBoxLayout;
    filters->addWidget(label(historytext::FromLabel, m_from));
    filters->addWidget(m_from);
    filters->addWidget(new QLabel(historytext::RangeDash, this));
    filters->addWidget(m_to);
    filters->addSpacing(16);
    filters->addWidget(label(historytext::PatientLabel, m_patient));
    filters->addWidget(m_patient, 1);
    filters->addSpacing(16);
    filters->addWidget(label(historytext::StaffLabel, m_staff));
    filters->addWidget(m_staff);

    m_model = new HistoryTableModel(this);
    m_table = new QTreeView(this);
    m_table->setObjectName(QStringLiteral("tblHistory"));
    m_table->setModel(m_model);
    m_table->setItemDelegate(new RoomyRowDelegate(m_table));
    m_table->setRootIsDecorated(false);
    m_table->setUniformRowHeights(true);
    m_table->setAlternatingRowColors(true);
    m_table->setItemsExpandable(false);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setTextElideMode(Qt::ElideRight);
    QHeaderView *header = m_table->header();
    header->setStretchLastSection(true);
    header->setSectionsMovable(false);
    // Widths for the values each column holds, so that the detail gets the rest.
    const QFontMetrics fm = fontMetrics();
    const int pad = 24;
    header->resizeSection(Time, fm.horizontalAdvance(QStringLiteral("2026/12/10 09:30:00")) + pad);
    header->resizeSection(LoginId, fm.horizontalAdvance(QStringLiteral("kango0000")) + pad);
    header->resizeSection(StaffName, fm.horizontalAdvance(QStringLiteral("山田　花子子")) + pad);
    header->resizeSection(Kind, fm.horizontalAdvance(QStringLiteral("退院（保存）")) + pad);
    header->resizeSection(Room, fm.horizontalAdvance(historytext::Columns.at(Room)) + pad);
    header->resizeSection(Bed, fm.horizontalAdvance(historytext::Columns.at(Bed)) + pad);
    header->resizeSection(Patient, fm.horizontalAdvance(QStringLiteral("佐藤 一郎（昭和10年12月31日）")) + pad);

    m_export = new QPushButton(historytext::ExportButton, this);
    m_export->setObjectName(QStringLiteral("cmdExport"));
    m_export->setToolTip(historytext::ExportTip);
    m_export->setAutoDefault(false);
    auto *close = new QPushButton(historytext::CloseButton, this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setToolTip(historytext::CloseTip);
    // Enter in the patient box only confirms the typing: no button is the
    // default, or the window would close under the nurse's hands.
    close->setAutoDefault(false);
    QHBoxLayout *buttons = statusRow(this, &m_status, {m_export, close});

    auto *v = new QVBoxLayout(this);
    v->addLayout(filters);
    v->addWidget(m_table, 1);
    v->addLayout(buttons);

    connect(m_from, &QDateEdit::dateChanged, this, &HistoryWindow::applyFilter);
    connect(m_to, &QDateEdit::dateChanged, this, &HistoryWindow::applyFilter);
    connect(m_patient, &QLineEdit::textChanged, this, &HistoryWindow::applyFilter);
    connect(m_staff, &QComboBox::currentIndexChanged, this, &HistoryWindow::applyFilter);
    connect(m_export, &QPushButton::clicked, this, &HistoryWindow::exportShown);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    resize(1180, 640);
    m_patient->setFocus(); // what a nurse looks for most
    applyFilter();
    if (!m_readable) {
        m_status->setText(historytext::ReadFailed.arg(readError).replace(QLatin1Char('\r'), QLatin1Char('\n')));
        for (QWidget *w : std::initializer_list<QWidget *> {m_from, m_to, m_patient, m_staff, m_export})
            w->setEnabled(false);
    }
}

const QList<HistoryEvent> &HistoryWindow::shownEvents() const
{
    return m_model->events();
}

QString HistoryWindow::statusText() const
{
    return m_status->text();
}

void HistoryWindow::applyFilter()
{
    HistoryFilter filter;
    filter.from = m_from->date();
    filter.to = m_to->date();
    filter.patient = m_patient->text();
    filter.loginId = m_staff->currentData().toString();
    m_model->setEvents(filterHistory(m_events, filter));
    m_export->setEnabled(m_readable && !shownEvents().isEmpty());
    if (m_events.isEmpty())
        m_status->setText(historytext::Empty);
    else if (filter.from > filter.to)
        m_status->setText(historytext::RangeReversed);
    else
        m_status->setText(historytext::Shown.arg(shownEvents().size()).arg(m_events.size()));
}

void HistoryWindow::exportShown()
{
    const QString suggested = QDir::home().filePath(
        historytext::ExportFileName.arg(m_ctx.clock->now().date().toString(QStringLiteral("yyyyMMdd"))));
    const QString path = askSaveFileName(this, QStringLiteral("dlgExport"), historytext::ExportDialogTitle,
                                         historytext::ExportFilter, historytext::ExportSuffix, suggested);
    if (path.isEmpty())
        return;
    QString error;
    bool written = false;
    {
        BusyGuard busy(m_ctx.busy);
        written = exportHistoryCsv(path, shownEvents(), &error);
    }
    if (written) {
        m_status->setText(historytext::Exported.arg(shownEvents().size()).arg(QDir::toNativeSeparators(path)));
        return;
    }
    const QString text = historytext::ExportFailed.arg(error);
    m_status->setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    m_ctx.prompter->errorMsg(text);
}

void openHistoryWindow(AppContext &ctx, QWidget *parent)
{
    HistoryWindow w(ctx, parent);
    w.exec();
}

} // namespace velto
