// The ward board: opening it with every bed taken to its first paint against
// a plain window of as many frames and buttons, a change of display date,
// and the date list built from ten years of snapshot folders.
#include <QDialog>
#include <QFile>
#include <QFrame>
#include <QGridLayout>
#include <QListWidget>
#include <QLocale>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include "backup/snapshotdelete.h"
#include "benchlayout.h"
#include "board/wardstatistics.h"
#include "ui/readmissiondialog.h"
#include "ui/snapshotdeletedialog.h"
#include "ui/wardboardwindow.h"

using namespace velto;
using namespace velto::bench;

namespace {

// The yardstick: 30 frames of 8 push buttons, captions as on the board.
QWidget *plainBoard(const QStringList &keys)
{
    auto *w = new QWidget;
    auto *grid = new QGridLayout(w);
    for (int room = 0; room < BoardModel::RoomCount; ++room) {
        auto *frame = new QFrame(w);
        frame->setFrameShape(QFrame::StyledPanel);
        auto *beds = new QGridLayout(frame);
        for (int b = 0; b < BoardModel::BedsPerRoom; ++b) {
            const int bed = room * BoardModel::BedsPerRoom + b;
            beds->addWidget(new QPushButton(BoardModel::captionOf(keys.at(bed)), frame), b / 2, b % 2);
        }
        grid->addWidget(frame, room / BoardModel::RoomColumns, room % BoardModel::RoomColumns);
    }
    return w;
}

QByteArray readRaw(const QString &folder)
{
    QByteArray all;
    for (const QString &f : {layoutfile::Beds, layoutfile::RoomNumbers, layoutfile::RoomColours}) {
        QFile file(folder + "/" + f);
        if (file.open(QIODevice::ReadOnly))
            all += file.readAll();
    }
    return all;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int runs = runsFrom(argc, argv, 15);

    // A month of snapshot days, each with its own full layout.
    Ward ward;
    writeLayout(ward, ward.path("DB"));
    const QStringList days = ward.makeSnapshotFolders(30);
    for (int i = 0; i < days.size(); ++i)
        writeLayout(ward, ward.path("BackUp/" + days.at(i)), i + 1);

    const auto [board, plain] = paintPair(
        runs, [&] { return new WardBoardWindow(ward.ctx); }, [&] { return plainBoard(ward.keys); });
    printRow("board opened to first paint (240 beds, 30 rooms)", board, plain, "30 frames, 240 buttons", {1.5, 0});

    // The same full ward with ten and a hundred years of snapshot days (empty
    // folders: the date list is what grows), against itself with none.
    {
        Ward none;
        writeLayout(none, none.path("DB"));
        for (const int days : {3650, 36500}) {
            Ward many;
            writeLayout(many, many.path("DB"));
            many.makeSnapshotFolders(days);
            const auto [withMany, withNone] = paintPair(
                runs, [&] { return new WardBoardWindow(many.ctx); }, [&] { return new WardBoardWindow(none.ctx); });
            const QByteArray figure = QStringLiteral("board opened to first paint with %1 snapshot days")
                                          .arg(QLocale::c().toString(days))
                                          .toUtf8();
            printRow(figure.constData(), withMany, withNone, "the same board with none",
                     days == 3650 ? Goal {1.1, 0} : Goal {0, 100});
        }
    }

    // The deletion window over ten and a hundred years of snapshot days, and
    // the readmission chooser over 2,000 and 20,000 kept records, against a
    // plain dialog listing the same names.
    const auto plainList = [](const QStringList &names) {
        auto *d = new QDialog;
        auto *list = new QListWidget(d);
        list->addItems(names);
        (new QVBoxLayout(d))->addWidget(list);
        return static_cast<QWidget *>(d);
    };
    for (const int days : {3650, 36500}) {
        Ward many;
        const QStringList names = many.makeSnapshotFolders(days);
        const auto [window, plain] = paintPair(
            runs,
            [&] {
                auto *d = new SnapshotDeleteDialog(many.ctx);
                d->refill(listSnapshots(many.ctx));
                return d;
            },
            [&] { return plainList(names); });
        const QByteArray figure = QStringLiteral("deletion window opened to first paint, %1 snapshot days")
                                      .arg(QLocale::c().toString(days))
                                      .toUtf8();
        printRow(figure.constData(), window, plain, "plain dialog, same list", Goal {0, days == 3650 ? 10.0 : 30.0});
    }
    for (const int kept : {2000, 20000}) {
        Ward many;
        QDir().mkpath(many.path("DB/Out"));
        QStringList names;
        for (int i = 0; i < kept; ++i) {
            const QString name = QStringLiteral("退院%1_花子_昭和20年1月1日").arg(i, 5, 10, QLatin1Char('0'));
            QFile f(many.path("DB/Out/" + name));
            if (!f.open(QIODevice::WriteOnly))
                qFatal("cannot write a kept record");
            names << name;
        }
        BoardModel model;
        const auto [window, plain] = paintPair(
            runs,
            [&] {
                auto *d = new ReadmissionDialog(many.ctx, model, 0);
                d->fill();
                return d;
            },
            [&] { return plainList(names); });
        const QByteArray figure = QStringLiteral("readmission chooser opened to first paint, %1 kept records")
                                      .arg(QLocale::c().toString(kept))
                                      .toUtf8();
        printRow(figure.constData(), window, plain, "plain dialog, same list", Goal {0, kept == 2000 ? 10.0 : 30.0});
    }

    double raw = 0, boardBetween = 0, boardFromToday = 0;
    {
        WardBoardWindow w(ward.ctx);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            qFatal("board not shown");
        QCoreApplication::processEvents();
        // Each change includes the repaint of the changed board.
        auto change = [&](int index) {
            w.changeDisplayDate(index);
            QCoreApplication::processEvents();
            if (ward.ctx.displayDateIndex != index)
                qFatal("display date not changed");
        };
        QList<double> fromToday, between;
        for (int i = 0; i <= runs; ++i) {
            change(0);
            QElapsedTimer t;
            t.start();
            change(1);
            const double a = msSince(t);
            t.restart();
            change(2);
            const double b = msSince(t);
            if (i > 0) {
                fromToday << a;
                between << b;
            }
        }
        raw = timeMedian(runs, [&] { readRaw(ward.path("BackUp/" + days.at(1))); });
        boardBetween = median(between);
        boardFromToday = median(fromToday);
    }
    {
        // The same change without a window: the layout files into the model.
        BoardModel model;
        const QStringList dates = buildDateList(ward.ctx);
        ward.ctx.displayDateIndex = 1;
        int next = 2;
        const double logic = timeMedian(runs * 2, [&] {
            next = next == 1 ? 2 : 1;
            if (!changeDisplayDate(ward.ctx, model, dates, next))
                qFatal("display date not changed");
        });
        printRow("display date, snapshot to snapshot: layout load into the model", logic, raw,
                 "raw read of its 3 files", {0, 30});
    }
    printRow("display date, snapshot to snapshot: board repainted", boardBetween, raw, "raw read of its 3 files",
             {0, 30});
    printRow("display date, today to snapshot: board repainted (saves today first)", boardFromToday, raw,
             "raw read of its 3 files", {0, 30});

    // Ten years of snapshot folders.
    Ward decade;
    decade.makeSnapshotFolders(3650);
    QStringList dates;
    const double list = timeMedian(runs, [&] { dates = buildDateList(decade.ctx); });
    if (dates.size() != 3651)
        qFatal("date list has %d entries", int(dates.size()));
    const double listed
        = timeMedian(runs, [&] { QDir(decade.path("BackUp")).entryList(QDir::Dirs | QDir::NoDotAndDotDot); });
    printRow("date list from 3,650 snapshot folders", list, listed, "QDir::entryList", {0, 50});

    // A year of daily snapshots, each with its full layout, counted for the
    // statistics window.
    Ward year;
    const QStringList yearDays = year.makeSnapshotFolders(365);
    for (int i = 0; i < yearDays.size(); ++i)
        writeLayout(year, year.path("BackUp/" + yearDays.at(i)), i);
    const QDate today = year.clock.now().date();
    QMap<QDate, int> counts;
    const double counted = timeMedian(runs, [&] { counts = occupiedBedsByDay(year.ctx, today.addDays(-365), today); });
    if (counts.size() != 365)
        qFatal("%d days counted", int(counts.size()));
    const double yearRaw = timeMedian(runs, [&] {
        for (const QString &day : yearDays) {
            QFile f(year.path("BackUp/" + day + "/" + layoutfile::Beds));
            if (f.open(QIODevice::ReadOnly))
                f.readAll();
        }
    });
    printRow("occupied beds per day, a year of daily snapshots", counted, yearRaw, "raw read of the 365 bed files",
             {0, 200});
    return 0;
}
