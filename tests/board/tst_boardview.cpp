// How the board shows the ward at any size: the text grows with the window
// and is legible from across the room when maximised, room numbers contrast
// with their room, and hidden names show nothing personal.
#include <QtTest>

#include "board/boardmodel.h"
#include "board/boardview.h"

using namespace velto;

class TestBoardView : public QObject {
    Q_OBJECT

private slots:
    // Rooms' areas of windows a ward has: the text grows with them, never
    // below the smallest legible size, and a maximised 1920×1080 board (its
    // rooms' area after the title, menu, toolbar and date rows) shows names
    // at least 24 px high.
    void textGrowsWithTheBoard_data()
    {
        QTest::addColumn<QSize>("area");
        QTest::addColumn<int>("atLeast");
        QTest::addColumn<int>("atMost");
        QTest::newRow("smallest board") << QSize(660, 450) << MinimumBoardFontPixels << MinimumBoardFontPixels;
        QTest::newRow("1280x800 window") << QSize(1280, 690) << 16 << 22;
        QTest::newRow("maximised on 1920x1080") << QSize(1920, 940) << 24 << 30;
        QTest::newRow("wall, full screen 1920x1080") << QSize(1920, 1080) << 28 << 34;
        QTest::newRow("wall, 3840x2160") << QSize(3840, 2160) << 56 << 70;
        QTest::newRow("very wide, low: the height decides") << QSize(3840, 500) << 12 << 13;
        QTest::newRow("very tall, narrow: the width decides") << QSize(700, 2000) << 12 << 22;
    }
    void textGrowsWithTheBoard()
    {
        QFETCH(QSize, area);
        QFETCH(int, atLeast);
        QFETCH(int, atMost);
        const BoardMetrics m = boardMetrics(area);
        QVERIFY2(m.fontPixels >= atLeast && m.fontPixels <= atMost, qPrintable(QString::number(m.fontPixels)));
        // What the metrics promise fits the room's share of the area.
        const int rows = BoardModel::RoomCount / BoardModel::RoomColumns;
        const int roomHeight = (area.height() - (rows + 1) * m.roomSpacing) / rows;
        if (m.fontPixels > MinimumBoardFontPixels)
            QVERIFY(m.labelHeight + 2 * m.padding + 4 * int(m.fontPixels * 1.3) + 3 * m.bedSpacing <= roomHeight);
    }

    void roomNumberContrasts_data()
    {
        QTest::addColumn<QColor>("room");
        QTest::addColumn<QColor>("number");
        QTest::newRow("first start's light grey") << QColor(0xe0, 0xe0, 0xe0) << QColor(Qt::black);
        QTest::newRow("white") << QColor(Qt::white) << QColor(Qt::black);
        QTest::newRow("yellow") << QColor(Qt::yellow) << QColor(Qt::black);
        QTest::newRow("navy") << QColor(0, 0, 0x80) << QColor(Qt::white);
        QTest::newRow("black") << QColor(Qt::black) << QColor(Qt::white);
        QTest::newRow("dark red") << QColor(0x8b, 0, 0) << QColor(Qt::white);
        // Pure blue is dark to the eye though its value is high.
        QTest::newRow("blue") << QColor(Qt::blue) << QColor(Qt::white);
        QTest::newRow("mid grey") << QColor(0x80, 0x80, 0x80) << QColor(Qt::black);
    }
    void roomNumberContrasts()
    {
        QFETCH(QColor, room);
        QFETCH(QColor, number);
        QCOMPARE(roomNumberColour(room), number);
    }

    void pastDayRoomsAreMuted()
    {
        const QColor vivid(0xff, 0x40, 0x40);
        const QColor muted = mutedRoomColour(vivid);
        QVERIFY(muted.hsvSaturation() < vivid.hsvSaturation() / 2);
        QVERIFY(muted != mutedRoomColour(QColor(0x40, 0x40, 0xff))); // rooms still differ
    }

    void hiddenNames_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("shown");
        QTest::newRow("two characters") << "佐藤_一郎_昭和10年5月3日"
                                        << "佐○○";
        QTest::newRow("three characters") << "佐々木_花子_昭和10年5月3日"
                                          << "佐○○";
        QTest::newRow("one character") << "林_一郎_昭和10年5月3日"
                                       << "林○○";
        QTest::newRow("a character beyond the BMP")
            << QString::fromUtf8("\xF0\xA0\xAE\xB7田_一郎_昭和10年5月3日") << QString::fromUtf8("\xF0\xA0\xAE\xB7○○");
        QTest::newRow("a free bed stays empty") << ""
                                                << "";
    }
    void hiddenNames()
    {
        QFETCH(QString, entry);
        QFETCH(QString, shown);
        BoardModel model;
        model.setBedEntry(7, entry);
        QCOMPARE(shownBedCaption(model, 7, true), shown);
        QCOMPARE(shownBedTooltip(model, 7, true), QString()); // nothing personal
        QCOMPARE(shownBedCaption(model, 7, false), model.bedCaption(7));
        QCOMPARE(shownBedTooltip(model, 7, false), entry);
    }

    void occupancyCounts()
    {
        BoardModel model;
        QCOMPARE(occupiedBeds(model), 0);
        model.setBedEntry(0, "佐藤_一郎_昭和10年5月3日");
        model.setBedEntry(7, "鈴木_一郎_昭和10年5月3日");
        model.setBedEntry(8, "田中_一郎_昭和10年5月3日");
        model.setBedEntry(239, "林_一郎_昭和10年5月3日");
        QCOMPARE(occupiedBeds(model), 4);
        QCOMPARE(occupiedBedsInRoom(model, 0), 2);
        QCOMPARE(occupiedBedsInRoom(model, 1), 1);
        QCOMPARE(occupiedBedsInRoom(model, 29), 1);
        QCOMPARE(occupiedBedsInRoom(model, 2), 0);
        QCOMPARE(boardtext::occupancy(4, 236), QStringLiteral("入院 4名 / 空床 236床"));
    }
};

QTEST_GUILESS_MAIN(TestBoardView)
#include "tst_boardview.moc"
