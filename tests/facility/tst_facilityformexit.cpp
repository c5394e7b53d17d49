// Leaving the facility form: the locked first-start form lets only a
// successful OK out, until a failed write unlocks it.
#include <QtTest>

#include "facility/facilityformexit.h"

using namespace velto;

namespace {

// "cancel", or an OK ending "saved", "refused" (a check failed) or "writeFailed".
bool press(FacilityFormExit &exit, const QString &event)
{
    if (event == QLatin1String("cancel"))
        return exit.cancelPressed();
    FacilityOkResult r;
    r.closeForm = event == QLatin1String("saved");
    r.writeFailed = event == QLatin1String("writeFailed");
    if (event == QLatin1String("refused"))
        r.focus = QStringLiteral("txtShisetu");
    return exit.okPressed(r);
}

} // namespace

class TestFacilityFormExit : public QObject {
    Q_OBJECT
private slots:
    void exits_data()
    {
        QTest::addColumn<bool>("cancelDisabled");
        QTest::addColumn<bool>("maySave");
        QTest::addColumn<QStringList>("events");
        QTest::addColumn<QList<bool>>("closes"); // after each event
        QTest::addColumn<bool>("lockedAtEnd");
        QTest::addColumn<bool>("saved");
        QTest::addColumn<bool>("endsProgram");

        QTest::newRow("menu form, cancel")
            << false << true << QStringList {"cancel"} << QList<bool> {true} << false << false << false;
        QTest::newRow("menu form, refused then saved")
            << false << true << QStringList {"refused", "saved"} << QList<bool> {false, true} << false << true << false;
        QTest::newRow("first start, cancel and refusals hold the user")
            << true << true << QStringList {"cancel", "refused", "cancel"} << QList<bool> {false, false, false} << true
            << false << false;
        QTest::newRow("first start, saved")
            << true << true << QStringList {"cancel", "saved"} << QList<bool> {false, true} << true << true << false;
        QTest::newRow("first start, failed write unlocks; cancel then ends the program")
            << true << true << QStringList {"writeFailed", "cancel"} << QList<bool> {false, true} << false << false
            << true;
        QTest::newRow("first start, failed write then saved") << true << true << QStringList {"writeFailed", "saved"}
                                                              << QList<bool> {false, true} << false << true << false;
        QTest::newRow("first start, an account that may not save is never locked")
            << true << false << QStringList {"cancel"} << QList<bool> {true} << false << false << false;
    }
    void exits()
    {
        QFETCH(bool, cancelDisabled);
        QFETCH(bool, maySave);
        QFETCH(QStringList, events);
        QFETCH(QList<bool>, closes);
        QFETCH(bool, lockedAtEnd);
        QFETCH(bool, saved);
        QFETCH(bool, endsProgram);
        FacilityFormExit exit(cancelDisabled, maySave);
        QCOMPARE(exit.locked(), cancelDisabled && maySave);
        for (int i = 0; i < events.size(); ++i)
            QVERIFY2(press(exit, events[i]) == closes[i], qPrintable(events[i]));
        QCOMPARE(exit.locked(), lockedAtEnd);
        QCOMPARE(exit.saved(), saved);
        QCOMPARE(exit.endsProgram(), endsProgram);
    }
};

QTEST_APPLESS_MAIN(TestFacilityFormExit)
#include "tst_facilityformexit.moc"
