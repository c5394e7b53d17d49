#include <QtTest>

#include "board/boardmodel.h"
#include "board/roomcolour.h"

using namespace velto;

// The stored form is blue * 65536 + green * 256 + red, as the layout file
// holds it; the chooser works with QColor.
class TestRoomColour : public QObject {
    Q_OBJECT

private slots:
    void conversion_data()
    {
        QTest::addColumn<int>("stored");
        QTest::addColumn<QColor>("colour");
        QTest::newRow("black") << 0 << QColor(0, 0, 0);
        QTest::newRow("pure red is the lowest byte") << 0x0000FF << QColor(255, 0, 0);
        QTest::newRow("pure green") << 0x00FF00 << QColor(0, 255, 0);
        QTest::newRow("pure blue is the highest byte") << 0xFF0000 << QColor(0, 0, 255);
        QTest::newRow("orange") << 0x0080FF << QColor(255, 128, 0);
        QTest::newRow("initial grey") << BoardModel::InitialRoomColour << QColor(0xE0, 0xE0, 0xE0);
        QTest::newRow("white, the largest value") << 0xFFFFFF << QColor(255, 255, 255);
        QTest::newRow("one off each edge") << 0xFE01FE << QColor(254, 1, 254);
    }
    void conversion()
    {
        QFETCH(int, stored);
        QFETCH(QColor, colour);
        QCOMPARE(colourFromStored(stored), colour);
        QCOMPARE(storedFromColour(colour), stored);
    }

    // Bits above the 24 colour bits do not reach the colour.
    void highBitsAreIgnored()
    {
        QCOMPARE(colourFromStored(0x01000000 | 0x0080FF), QColor(255, 128, 0));
        QCOMPARE(colourFromStored(-1), QColor(255, 255, 255));
    }

    // A cancelled chooser gives an invalid colour, which has no stored form;
    // colours from other colour models are stored by their RGB value.
    void otherColours()
    {
        QCOMPARE(storedFromColour(QColor()), -1);
        QCOMPARE(storedFromColour(QColor::fromHsv(0, 255, 255)), 0x0000FF);
        QCOMPARE(storedFromColour(QColor(255, 128, 0, 10)), 0x0080FF); // alpha is not stored
    }
};

QTEST_GUILESS_MAIN(TestRoomColour)
#include "tst_roomcolour.moc"
