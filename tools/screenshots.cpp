// Renders the windows a nurse sees, on a full ward, into PNG files for the
// README: the board at 1280×800 and maximised on a 1920×1080 screen
// (normal, on the wall, a past day, names hidden), the record window, and
// the history and statistics windows over a year of the ward's life.
// Usage: screenshots <folder>
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryFile>
#include <QTest>
#include <QUuid>
#include <cmath>
#include <cstdio>

#include "benchlayout.h"
#include "board/boardhistory.h"
#include "print/paintercanvas.h"
#include "store/wardstore.h"
#include "ui/historywindow.h"
#include "ui/optionsdialog.h"
#include "ui/patientrecorddialog.h"
#include "ui/statisticswindow.h"
#include "ui/wardboardwindow.h"

using namespace velto;
using namespace velto::bench;

namespace {

QString g_folder;

void save(QWidget &w, const QString &name)
{
    QCoreApplication::processEvents();
    const QString file = g_folder + QLatin1Char('/') + name;
    if (!w.grab().save(file))
        qFatal("not written: %s", qPrintable(file));
    const auto *board = qobject_cast<WardBoardWindow *>(&w);
    std::printf("%s (%dx%d%s)\n", qPrintable(file), w.width(), w.height(),
                board ? qPrintable(QStringLiteral(", bed names %1 px").arg(board->bedFontPixels())) : "");
}

// A year of the ward (after the board's pictures: it rewrites their past
// days): a snapshot for most days (none on the days the PC
// was off, a week in the summer among them) holding 200 to 236 occupied beds,
// and a history that began in April: admissions, discharges and the
// everyday edits of four nurses.
void writeWardYear(Ward &ward)
{
    const QDate today = ward.clock.now().date();
    QStringList numbers, colours, beds;
    QString error;
    textfile::readLines(ward.path("DB/") + layoutfile::RoomNumbers, &numbers, &error);
    textfile::readLines(ward.path("DB/") + layoutfile::RoomColours, &colours, &error);
    for (int back = 1; back < 365; ++back) {
        const QDate day = today.addDays(-back);
        const bool off = (back % 23 == 5) || (back % 37 == 11) || (back >= 130 && back < 137);
        if (off)
            continue;
        // Fuller in winter, a dip at the weekends' discharges.
        const int occupied = 214 + int(14 * std::cos((day.dayOfYear() - 20) * 2 * M_PI / 365.0))
                             - (day.dayOfWeek() >= 6 ? 6 : 0) + (back * 7919 % 9) - 4;
        beds.clear();
        for (int bed = 0; bed < BoardModel::BedCount; ++bed)
            beds << (bed < occupied ? ward.keys.at(bed) : QString());
        const QString folder = ward.path("BackUp/" + eraDateOf(day));
        QDir().mkpath(folder);
        if (!textfile::writeLines(folder + "/" + layoutfile::Beds, beds, &error)
            || !textfile::writeLines(folder + "/" + layoutfile::RoomNumbers, numbers, &error)
            || !textfile::writeLines(folder + "/" + layoutfile::RoomColours, colours, &error))
            qFatal("snapshot not written: %s", qPrintable(error));
    }

    const QList<QPair<QString, QString>> nurses {{QStringLiteral("kango01"), QStringLiteral("山田 花子")},
                                                 {QStringLiteral("kango02"), QStringLiteral("鈴木 美香")},
                                                 {QStringLiteral("kango03"), QStringLiteral("高橋 里美")},
                                                 {QStringLiteral("kango07"), QStringLiteral("伊藤 恵")}};
    const QStringList fields {QStringLiteral("体温、脈拍、血圧"),     QStringLiteral("問題点"),
                              QStringLiteral("食事・栄養"),           QStringLiteral("内服薬"),
                              QStringLiteral("キーパーソン、連絡先"), QStringLiteral("排泄")};
    WardChange change;
    unsigned seed = 12345;
    auto next = [&seed](unsigned n) {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) % n;
    };
    const QDate began(today.year(), 4, 1);
    for (QDate day = began; day <= today; day = day.addDays(1)) {
        const bool recent = day.daysTo(today) < 35;
        const int count = recent ? 3 + int(next(5)) : int(next(3));
        for (int i = 0; i < count; ++i) {
            const int bed = int(next(BoardModel::BedCount));
            const auto &nurse = nurses.at(int(next(nurses.size())));
            HistoryEvent e;
            e.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
            e.time = QDateTime(day, QTime(8 + int(next(11)), int(next(60)), int(next(60))))
                         .toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
            if (day == today && e.time > ward.clock.now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")))
                continue;
            e.loginId = nurse.first;
            e.staffName = nurse.second;
            e.room = QString::number(201 + bed / 8);
            e.bed = QString::number(1 + bed % 8);
            e.patientKey = ward.keys.at(bed);
            const unsigned what = next(10);
            if (i == 0 && what < 5) {
                e.kind = what < 3 ? historykind::Admission : historykind::Readmission;
            } else if (i == 1 && what < 5) {
                e.kind = what < 3 ? historykind::DischargeKept : historykind::DischargeErased;
            } else if (what == 9) {
                e.kind = historykind::BedMove;
                // As the board writes it: from this bed to another.
                e.detail
                    = historydetail::FromTo.arg(historydetail::BedPlace.arg(e.room, e.bed),
                                                historydetail::BedPlace.arg(201 + int(next(30))).arg(1 + int(next(8))));
            } else {
                e.kind = historykind::RecordSave;
                e.detail = fields.at(int(next(fields.size())));
            }
            change.events << e;
        }
    }
    std::sort(change.events.begin(), change.events.end(),
              [](const HistoryEvent &a, const HistoryEvent &b) { return a.time < b.time; });
    if (ward.ctx.store->apply(change, &error) != ChangeResult::Done)
        qFatal("history not written: %s", qPrintable(error));
}

// A maximised window on a 1920×1080 screen: the title bar and a panel take
// about 30 pixels.
const QSize Maximised(1920, 1050);

} // namespace

int main(int argc, char *argv[])
{
    // Offscreen, on a screen of a wall's size, so full screen is 1920×1080.
    QTemporaryFile screens;
    if (qEnvironmentVariable("QT_QPA_PLATFORM", QStringLiteral("offscreen")) == QLatin1String("offscreen")
        && screens.open()) {
        screens.write(R"({"screens": [{"name": "wall", "x": 0, "y": 0, "width": 1920, "height": 1080,
                          "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
        screens.flush();
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
    }
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: screenshots <folder>\n");
        return 2;
    }
    g_folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(g_folder);

    Ward ward;
    ward.writeRecords();
    {
        // Bed 0's record as a nurse would have filled it in.
        PatientRecord r = completeRecord(0);
        const QList<QPair<const char *, QString>> personal {
            {"000", QStringLiteral("A-0012345")},
            {"001", QStringLiteral("さとう")},
            {"002", QStringLiteral("いちろう")},
            {"013", QStringLiteral("100")},
            {"014", QStringLiteral("0001")},
            {"015", QStringLiteral("東京都")},
            {"016", QStringLiteral("千代田区千代田一丁目一番一号")},
            {"017", QStringLiteral("中央ビル三階")},
            {"018", QStringLiteral("03-1234-5678")},
            {"019", QStringLiteral("090-1234-5678")},
            {"020", QStringLiteral("佐藤花子")},
            {"021", QStringLiteral("妻")},
            {"051", QStringLiteral("128")},
            {"052", QStringLiteral("76")},
            {"224", QStringLiteral("120")},
            {"225", QStringLiteral("70")},
            {"053", QStringLiteral("36.8")},
            {"054", QStringLiteral("72")},
            {"055", QStringLiteral("整")},
            {"056", QStringLiteral("165")},
            {"057", QStringLiteral("58.5")},
        };
        for (const auto &[key, value] : personal)
            r.setValue(QString::fromLatin1(key), value);
        const QStringList problems {
            QStringLiteral("#1 転倒転落のおそれ（夜間トイレ歩行時にふらつきあり）"),
            QStringLiteral("　→ ベッド柵２点、離床センサー使用。ナースコールの指導を継続する。"),
            QStringLiteral("#2 血糖コントロール不良（食前血糖 180〜240mg/dl）"),
            QStringLiteral("　→ 食前・眠前の血糖測定、インスリン指示を確認。低血糖症状に注意。"),
            QStringLiteral("#3 退院後の生活への不安（独居、妻は入院中）"),
            QStringLiteral("　→ MSW・ケアマネージャーと退院前カンファレンスを予定（12/15）。"),
        };
        for (int i = 0; i < 27; ++i)
            r.setValue(QString::number(120 + i).rightJustified(3, QLatin1Char('0')), problems.value(i));
        if (!writePatientRecord(ward.ctx, RecordRef::today(ward.keys.at(0)), r))
            qFatal("record not written");
    }
    ward.writeFacility();
    writeLayout(ward, ward.path("DB"));
    // A few free beds, as on a real day.
    {
        QStringList beds;
        QString error;
        textfile::readLines(ward.path("DB/") + layoutfile::Beds, &beds, &error);
        for (int bed : {5, 17, 18, 60, 61, 62, 133, 200, 239})
            beds[bed].clear();
        textfile::writeLines(ward.path("DB/") + layoutfile::Beds, beds, &error);
    }
    const QStringList days = ward.makeSnapshotFolders(3);
    for (int i = 0; i < days.size(); ++i)
        writeLayout(ward, ward.path("BackUp/" + days.at(i)), i + 1);

    {
        WardBoardWindow w(ward.ctx);
        w.resize(1280, 800);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("window not shown");
        save(w, QStringLiteral("board-1280x800.png"));
        w.resize(Maximised);
        save(w, QStringLiteral("board-1920x1080.png"));
        w.changeDisplayDate(1);
        save(w, QStringLiteral("board-past-day.png"));
        w.changeDisplayDate(0);
        w.setWallMode(true);
        QTest::qWait(50);
        save(w, QStringLiteral("board-wall.png"));
        w.setWallPasswordAsker([] { return std::optional<QString>(QStringLiteral("pw")); });
        w.setWallMode(false);
        ward.ctx.settings->setValue(QStringLiteral("Display"), QStringLiteral("hide_names"), QStringLiteral("1"));
        w.showAll();
        w.resize(1280, 800);
        save(w, QStringLiteral("board-names-hidden.png"));
    }
    {
        RecordHost host;
        host.bedEntry = ward.keys.at(0);
        PatientRecordDialog w(ward.ctx, host);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("window not shown");
        save(w, QStringLiteral("record.png"));
        w.selectTab(12);
        save(w, QStringLiteral("record-problems.png"));
    }
    {
        // The three summary pages of bed 0's patient, as PDF files; the
        // script turns them into pictures.
        print::SummaryInput input;
        readPatientRecord(ward.ctx, RecordRef::today(ward.keys.at(0)), &input.record);
        loadFacilityInfo(ward.ctx, &input.facility);
        input.printDate = ward.ctx.todayEraDate;
        for (const QString &pdf : print::writeSummaryPdfs(input, g_folder, QStringLiteral("summary")))
            std::printf("%s\n", qPrintable(pdf));
    }
    {
        OptionsDialog w(ward.ctx);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("window not shown");
        w.findChild<QTabWidget *>(QStringLiteral("SSTab1"))->setCurrentIndex(2);
        save(w, QStringLiteral("options-display.png"));
    }
    writeWardYear(ward);
    {
        HistoryWindow w(ward.ctx);
        w.resize(1280, 800);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("window not shown");
        save(w, QStringLiteral("history.png"));
    }
    {
        StatisticsWindow w(ward.ctx);
        w.resize(1280, 800);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("window not shown");
        save(w, QStringLiteral("statistics.png"));
    }
    return 0;
}
