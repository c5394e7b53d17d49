#pragma once
// The ward over time: occupied beds per day over the last year, admissions
// and discharges per month. A day without a snapshot and a month before the
// history begins are gaps in the lines, never zeros.
#include <QDate>
#include <QDialog>

class QChartView;
class QLabel;
class QWidget;

namespace velto {
struct AppContext;

class StatisticsWindow : public QDialog {
    Q_OBJECT
public:
    explicit StatisticsWindow(AppContext &ctx, QWidget *parent = nullptr);

    QString statusText() const;
    // Both charts as one picture, as the save button writes it.
    QImage chartsImage() const;
    // The save button: asks where, then writes the PNG.
    void savePicture();

private:
    void buildOccupancyChart(const QDate &today);
    // False when the history could not be read (the chart then stays empty).
    bool buildMovementChart(const QDate &today, QString *error);

    AppContext &m_ctx;
    QWidget *m_charts = nullptr;
    QChartView *m_occupancy = nullptr;
    QChartView *m_movement = nullptr;
    QLabel *m_status = nullptr;
};

// Opens the statistics window modally over parent.
void openStatisticsWindow(AppContext &ctx, QWidget *parent);

} // namespace velto
