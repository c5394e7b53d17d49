// The one check every record, bed entry and snapshot folder name passes.
#include <QtTest>

#include "core/filenames.h"

using namespace velto;

class TestFileNames : public QObject {
    Q_OBJECT
private slots:
    void plainNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        QTest::newRow("record key") << QStringLiteral("山田_太郎_昭和450101") << true;
        QTest::newRow("snapshot folder") << QStringLiteral("20261210") << true;
        QTest::newRow("dot inside") << QStringLiteral("a.b") << true;
        QTest::newRow("dot at the end") << QStringLiteral("a.") << true;
        QTest::newRow("space") << QStringLiteral("a b") << true;
        QTest::newRow("full-width slash") << QStringLiteral("a／b") << true;
        // What some disks refuse is left to the save's own character check.
        QTest::newRow("colon") << QStringLiteral("a:b") << true;
        QTest::newRow("empty") << QString() << false;
        QTest::newRow(".") << QStringLiteral(".") << false;
        QTest::newRow("..") << QStringLiteral("..") << false;
        QTest::newRow("only dots") << QStringLiteral("...") << false;
        QTest::newRow("leading dot") << QStringLiteral(".山田_太郎") << false;
        QTest::newRow("staged file") << QStringLiteral(".~velto-1") << false;
        QTest::newRow("slash") << QStringLiteral("a/b") << false;
        QTest::newRow("climbs out") << QStringLiteral("../DB") << false;
        QTest::newRow("slash alone") << QStringLiteral("/") << false;
        QTest::newRow("backslash") << QStringLiteral("a\\b") << false;
        QTest::newRow("tab") << QStringLiteral("a\tb") << false;
        QTest::newRow("line feed") << QStringLiteral("a\nb") << false;
        QTest::newRow("carriage return at the end") << QStringLiteral("ab\r") << false;
        QTest::newRow("nul") << QString(QChar(0)) + QStringLiteral("a") << false;
        QTest::newRow("unit separator") << QStringLiteral("a") + QChar(0x1f) << false;
        QTest::newRow("delete") << QStringLiteral("a") + QChar(0x7f) << false;
    }
    void plainNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, plain);
        QCOMPARE(isPlainFileName(name), plain);
    }
};

QTEST_APPLESS_MAIN(TestFileNames)
#include "tst_filenames.moc"
