#include "statisticswindow.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPushButton>
#include <QVBoxLayout>
#include <QValueAxis>
#include <cmath>

#include "board/statisticsseries.h"
#include "board/statisticstexts.h"
#include "board/wardstatistics.h"
#include "core/appcontext.h"
#include "core/textfile.h"
#include "savefiledialog.h"
#include "statusrow.h"
#include "store/wardstore.h"

namespace velto {

namespace {

qreal timeOf(const QDate &day)
{
    return qreal(day.startOfDay().toMSecsSinceEpoch());
}

// A count axis of whole numbers: 0 to a round maximum, a tick at each step.
void setCountRange(QValueAxis *axis, int highest)
{
    int step = 1;
    for (const int s : {1, 2, 5, 10, 20, 25, 50, 100}) {
        step = s;
        if (highest <= s * 8)
            break;
    }
    const int top = std::max(step, int(std::ceil(highest / double(step))) * step);
    axis->setRange(0, top);
    axis->setTickCount(top / step + 1);
    axis->setLabelFormat(QStringLiteral("%d"));
}

QChart *newChart(const QString &title, const QFont &font)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    QFont bold = font;
    bold.setBold(true);
    bold.setPointSizeF(font.pointSizeF() * 1.15);
    chart->setTitleFont(bold);
    chart->legend()->setFont(font);
    chart->legend()->setAlignment(Qt::AlignTop);
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setMargins(QMargins(4, 4, 4, 4));
    return chart;
}

void styleAxis(QAbstractAxis *axis, const QString &title, const QFont &font)
{
    axis->setTitleText(title);
    axis->setTitleFont(font);
    axis->setLabelsFont(font);
}

// One series per unbroken run, all in one pen; the legend names the first.
void addRuns(QChart *chart, const QList<QList<QPointF>> &runs, const QString &name, const QColor &colour,
             QAbstractAxis *x, QAbstractAxis *y, bool everyPoint)
{
    bool first = true;
    for (const QList<QPointF> &run : runs) {
        auto *series = new QLineSeries;
        series->setName(name);
        series->append(run);
        series->setPen(QPen(colour, 2));
        series->setColor(colour);
        // A run of one point has no line: its point shows it.
        series->setPointsVisible(everyPoint || run.size() == 1);
        chart->addSeries(series);
        series->attachAxis(x);
        series->attachAxis(y);
        const QList<QLegendMarker *> markers = chart->legend()->markers(series);
        for (QLegendMarker *m : markers)
            m->setVisible(first);
        first = false;
    }
}

} // namespace

StatisticsWindow::StatisticsWindow(AppContext &ctx, QWidget *parent)
    : QDialog(parent)
    , m_ctx(ctx)
{
    setObjectName(QStringLiteral("frmStatistics"));
    setWindowTitle(statisticstext::WindowCaption);
    setSizeGripEnabled(true);

    m_charts = new QWidget(this);
    m_charts->setObjectName(QStringLiteral("chartsPanel"));
    m_charts->setAutoFillBackground(true);
    m_occupancy = new QChartView(m_charts);
    m_occupancy->setObjectName(QStringLiteral("chartOccupancy"));
    m_movement = new QChartView(m_charts);
    m_movement->setObjectName(QStringLiteral("chartMovement"));
    for (QChartView *v : {m_occupancy, m_movement}) {
        v->setRenderHint(QPainter::Antialiasing);
        v->setMinimumHeight(260);
    }
    auto *note = new QLabel(statisticstext::GapNote, m_charts);
    note->setObjectName(QStringLiteral("lblGapNote"));
    note->setWordWrap(true);
    auto *chartsLayout = new QVBoxLayout(m_charts);
    chartsLayout->setContentsMargins(0, 0, 0, 0);
    chartsLayout->addWidget(m_occupancy, 1);
    chartsLayout->addWidget(m_movement, 1);
    chartsLayout->addWidget(note);

    auto *save = new QPushButton(statisticstext::SaveButton, this);
    save->setObjectName(QStringLiteral("cmdSavePicture"));
    save->setToolTip(statisticstext::SaveTip);
    save->setAutoDefault(false);
    auto *close = new QPushButton(statisticstext::CloseButton, this);
    close->setObjectName(QStringLiteral("cmdClose"));
    close->setToolTip(statisticstext::CloseTip);
    close->setDefault(true);
    QHBoxLayout *buttons = statusRow(this, &m_status, {save, close});

    auto *v = new QVBoxLayout(this);
    v->addWidget(m_charts, 1);
    v->addLayout(buttons);
    connect(save, &QPushButton::clicked, this, &StatisticsWindow::savePicture);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    const QDate today = ctx.clock->now().date();
    BusyGuard busy(ctx.busy);
    buildOccupancyChart(today);
    QString error;
    if (!buildMovementChart(today, &error))
        m_status->setText(statisticstext::HistoryReadFailed.arg(error).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    resize(1180, 760);
}

void StatisticsWindow::buildOccupancyChart(const QDate &today)
{
    const QDate from = today.addDays(-364);
    const QMap<QDate, int> beds = occupiedBedsByDay(m_ctx, from, today);
    QChart *chart = newChart(statisticstext::OccupancyTitle, font());
    // A label at each month's first day, in line with the months below.
    auto *x = new QCategoryAxis;
    styleAxis(x, statisticstext::DayAxis, font());
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x->setStartValue(timeOf(from));
    for (QDate m = QDate(from.year(), from.month(), 1).addMonths(1); m <= today; m = m.addMonths(1))
        x->append(m.toString(statisticstext::MonthFormat), timeOf(m));
    x->setRange(timeOf(from), timeOf(today));
    auto *y = new QValueAxis;
    styleAxis(y, statisticstext::BedsAxis, font());
    int highest = 0;
    for (const int n : beds)
        highest = std::max(highest, n);
    setCountRange(y, highest);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    QList<QList<QPointF>> runs;
    for (const QList<QDate> &days : unbrokenRuns(beds.keys(), StatisticsStep::Day)) {
        QList<QPointF> run;
        for (const QDate &d : days)
            run << QPointF(timeOf(d), beds.value(d));
        runs << run;
    }
    addRuns(chart, runs, statisticstext::OccupancySeries, QColor(0x1f, 0x5f, 0xa8), x, y, false);
    chart->legend()->setVisible(!beds.isEmpty());
    m_occupancy->setChart(chart);
    if (beds.isEmpty())
        m_status->setText(statisticstext::NoSnapshots);
}

bool StatisticsWindow::buildMovementChart(const QDate &today, QString *error)
{
    const QDate firstMonth = QDate(today.year(), today.month(), 1).addMonths(-11);
    QList<HistoryEvent> events;
    const bool read = m_ctx.store->readHistory(&events, error);
    const QMap<QDate, MonthCounts> months
        = read ? movementsByMonth(events, firstMonth, today) : QMap<QDate, MonthCounts>();
    QChart *chart = newChart(statisticstext::MovementTitle, font());
    // A label under each month, whether it has counts or not.
    auto *x = new QCategoryAxis;
    styleAxis(x, statisticstext::MonthAxis, font());
    x->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    x->setStartValue(timeOf(firstMonth.addDays(-15)));
    for (QDate m = firstMonth; m <= today; m = m.addMonths(1))
        x->append(m.toString(statisticstext::MonthFormat), timeOf(m));
    x->setRange(timeOf(firstMonth.addDays(-15)), timeOf(QDate(today.year(), today.month(), 1).addDays(15)));
    x->setGridLineVisible(false);
    auto *y = new QValueAxis;
    styleAxis(y, statisticstext::CountAxis, font());
    int highest = 0;
    for (const MonthCounts &c : months)
        highest = std::max({highest, c.admissions, c.discharges});
    setCountRange(y, highest);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    QList<QList<QPointF>> admissions, discharges;
    for (const QList<QDate> &run : unbrokenRuns(months.keys(), StatisticsStep::Month)) {
        admissions << QList<QPointF>();
        discharges << QList<QPointF>();
        for (const QDate &m : run) {
            admissions.last() << QPointF(timeOf(m), months.value(m).admissions);
            discharges.last() << QPointF(timeOf(m), months.value(m).discharges);
        }
    }
    addRuns(chart, admissions, statisticstext::AdmissionSeries, QColor(0x2e, 0x8b, 0x57), x, y, true);
    addRuns(chart, discharges, statisticstext::DischargeSeries, QColor(0xd2, 0x69, 0x1e), x, y, true);
    chart->legend()->setVisible(!months.isEmpty());
    m_movement->setChart(chart);
    if (read && months.isEmpty()) {
        const QString before = m_status->text();
        m_status->setText(before.isEmpty() ? statisticstext::NoHistory
                                           : before + QLatin1Char('\n') + statisticstext::NoHistory);
    }
    return read;
}

QString StatisticsWindow::statusText() const
{
    return m_status->text();
}

QImage StatisticsWindow::chartsImage() const
{
    return m_charts->grab().toImage();
}

void StatisticsWindow::savePicture()
{
    const QString suggested = QDir::home().filePath(
        statisticstext::SaveFileName.arg(m_ctx.clock->now().date().toString(QStringLiteral("yyyyMMdd"))));
    const QString path = askSaveFileName(this, QStringLiteral("dlgSavePicture"), statisticstext::SaveDialogTitle,
                                         statisticstext::SaveFilter, statisticstext::SaveSuffix, suggested);
    if (path.isEmpty())
        return;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    QString error;
    bool written = false;
    {
        BusyGuard busy(m_ctx.busy);
        written = chartsImage().save(&buffer, "PNG") && textfile::writeAtomic(path, png, &error);
    }
    if (written) {
        m_status->setText(statisticstext::Saved.arg(QDir::toNativeSeparators(path)));
        return;
    }
    const QString text = statisticstext::SaveFailed.arg(error);
    m_status->setText(QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n')));
    m_ctx.prompter->errorMsg(text);
}

void openStatisticsWindow(AppContext &ctx, QWidget *parent)
{
    StatisticsWindow w(ctx, parent);
    w.exec();
}

} // namespace velto
