// What the record window lets the user change, from the session's state.
#include <QtTest>

#include "record/recordaccess.h"

using namespace velto;

class TestRecordAccess : public QObject {
    Q_OBJECT
private slots:
    void readOnly_data()
    {
        QTest::addColumn<Authority>("authority");
        QTest::addColumn<bool>("isToday");
        QTest::addColumn<bool>("boardWritable");
        QTest::addColumn<bool>("readWhole");
        QTest::addColumn<bool>("readOnly");
        QTest::newRow("full authority, today") << Authority::Full << true << true << true << false;
        QTest::newRow("restricted account") << Authority::Restricted << true << true << true << true;
        QTest::newRow("snapshot day") << Authority::Full << false << true << true << true;
        QTest::newRow("layout fault") << Authority::Full << true << false << true << true;
        QTest::newRow("record read in part") << Authority::Full << true << true << false << true;
        QTest::newRow("restricted on a snapshot day") << Authority::Restricted << false << true << true << true;
        // Only 1 restricts; the board treats any other value as full.
        QTest::newRow("authority 0") << Authority::None << true << true << true << false;
    }
    void readOnly()
    {
        QFETCH(Authority, authority);
        QFETCH(bool, isToday);
        QFETCH(bool, boardWritable);
        QFETCH(bool, readWhole);
        QFETCH(bool, readOnly);
        QCOMPARE(recordIsReadOnly(authority, isToday, boardWritable, readWhole), readOnly);
    }

    void editableFields_data()
    {
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<bool>("whenWritable");
        QTest::addColumn<bool>("whenReadOnly");
        QTest::newRow("last systolic") << "txtKetuatu1" << true << true;
        QTest::newRow("last diastolic") << "txtKetuatu2" << true << true;
        QTest::newRow("average blood pressure") << "txtKetuatu3" << true << false;
        QTest::newRow("family name") << "txtNameKanji" << true << false;
        QTest::newRow("birth era list") << "cmbYmd1" << true << false;
        QTest::newRow("birth year, fixed list") << "cmbYmd2" << true << false;
        QTest::newRow("age list") << "cmbNenrei" << false << false;
        QTest::newRow("photo path") << "txtPathKao" << true << false;
        QTest::newRow("a line of a group") << "txtShindan_2" << true << false;
    }
    void editableFields()
    {
        QFETCH(QString, objectName);
        QFETCH(bool, whenWritable);
        QFETCH(bool, whenReadOnly);
        const RecordField *f = recordFieldByObjectName(objectName);
        QVERIFY2(f, qPrintable(objectName));
        QCOMPARE(recordFieldEditable(*f, false), whenWritable);
        QCOMPARE(recordFieldEditable(*f, true), whenReadOnly);
    }

    // Read-only leaves exactly the last blood pressure open, nothing else.
    void readOnlyLeavesOnlyTheBloodPressure()
    {
        QStringList open;
        for (const RecordField &f : recordFields())
            if (recordFieldEditable(f, true))
                open << f.objectName();
        QCOMPARE(open, (QStringList {"txtKetuatu1", "txtKetuatu2"}));
    }
};

QTEST_APPLESS_MAIN(TestRecordAccess)
#include "tst_recordaccess.moc"
