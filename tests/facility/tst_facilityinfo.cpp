#include <QFile>
#include <QtTest>

#include "core/errorlog.h"
#include "core/textfile.h"
#include "facility/facilityinfo.h"
#include "support/files.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void putLines(const QString &path, const QStringList &lines)
{
    QString error;
    QVERIFY2(textfile::writeLines(path, lines, &error), qPrintable(error));
}

FacilityInfo validInfo()
{
    FacilityInfo i;
    i.hospitalName = QStringLiteral("市立中央病院");
    i.departmentName = QStringLiteral("内科病棟");
    i.zip1 = QStringLiteral("123");
    i.zip2 = QStringLiteral("4567");
    i.address1 = QStringLiteral("東京都千代田区１－２－３");
    i.address2 = QString();
    i.tel = QStringLiteral("03-1234-5678");
    i.fax = QString();
    i.mail = QString();
    return i;
}

} // namespace

class TstFacilityInfo : public QObject {
    Q_OBJECT

private slots:
    void roundTripKeepsValuesAsTyped()
    {
        TestContext t;
        t.makeFolders();
        FacilityInfo in = validInfo();
        in.hospitalName = QStringLiteral(" 市立病院 "); // spaces are part of the value
        in.address2 = QStringLiteral("ﾋﾞﾙ3階");
        in.fax = QStringLiteral("03-0000-0000");
        in.mail = QStringLiteral("ward@example.jp");
        QVERIFY(saveFacilityInfo(t.ctx, in));
        QVERIFY(facilityFileExists(t.ctx));

        QByteArray expected;
        QString error;
        QVERIFY(textfile::encode(QStringLiteral("001: 市立病院 \r\n002:内科病棟\r\n003:123\r\n004:4567\r\n"
                                                "005:東京都千代田区１－２－３\r\n006:ﾋﾞﾙ3階\r\n007:03-1234-5678\r\n"
                                                "008:03-0000-0000\r\n009:ward@example.jp\r\n"),
                                 &expected, &error));
        QCOMPARE(fileBytes(test::facilityFile(t.ctx.appDir)), expected);

        FacilityInfo out;
        out.fax = QStringLiteral("stale"); // must be emptied first
        QVERIFY(loadFacilityInfo(t.ctx, &out));
        QVERIFY(out == in);
        QVERIFY(t.prompter.asked.isEmpty());
    }

    void readsAnyOrderIgnoresUnknownKeys()
    {
        TestContext t;
        t.makeFolders();
        putLines(test::facilityFile(t.ctx.appDir),
                 {QStringLiteral("007:03-1"), QStringLiteral("999:ignored"), QStringLiteral("001:first"),
                  QStringLiteral("001:second"), QStringLiteral("003X123")}); // 4th character is not looked at
        FacilityInfo info;
        QVERIFY(loadFacilityInfo(t.ctx, &info));
        QCOMPARE(info.tel, QStringLiteral("03-1"));
        QCOMPARE(info.hospitalName, QStringLiteral("second"));
        QCOMPARE(info.zip1, QStringLiteral("123"));
        QVERIFY(info.departmentName.isEmpty());
        QVERIFY(t.prompter.asked.isEmpty());
    }

    void missingFileGivesEmptyFields()
    {
        TestContext t;
        t.makeFolders();
        FacilityInfo info = validInfo();
        QVERIFY(loadFacilityInfo(t.ctx, &info));
        QVERIFY(info == FacilityInfo());
        QVERIFY(!facilityFileExists(t.ctx));
    }

    void shortLineStopsWithReport()
    {
        TestContext t;
        t.makeFolders();
        putLines(test::facilityFile(t.ctx.appDir), {QStringLiteral("001:A"), QString(), QStringLiteral("002:B")});
        FacilityInfo info;
        QVERIFY(!loadFacilityInfo(t.ctx, &info));
        QCOMPARE(info.hospitalName, QStringLiteral("A"));
        QVERIFY(info.departmentName.isEmpty());
        QCOMPARE(t.prompter.texts(), QStringList {unexpectedErrorText()});
        QVERIFY(fileBytes(t.path("log/error.log")).contains("bigin.getShisetuInfo()"));
    }

    void okCheck_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("field2");
        QTest::addColumn<QString>("value2");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus");

        const QString none;
        const QString shortInput = QStringLiteral("入力数が足りません");
        QTest::newRow("valid") << none << none << none << none << none << none;
        QTest::newRow("hospital blank") << "hospitalName"
                                        << "   " << none << none << QStringLiteral("病院名を入力してください")
                                        << "txtShisetu";
        QTest::newRow("department empty")
            << "departmentName"
            << "" << none << none << QStringLiteral("科名を入力してください") << "txtKaName";
        QTest::newRow("zip1 empty") << "zip1"
                                    << "" << none << none << QStringLiteral("郵便番号上３桁を入力してください")
                                    << "txtZip1";
        QTest::newRow("zip2 empty") << "zip2"
                                    << " " << none << none << QStringLiteral("郵便番号下４桁を入力してください")
                                    << "txtZip2";
        QTest::newRow("tel empty") << "tel"
                                   << "" << none << none << QStringLiteral("TELを入力してください") << "txtTel";
        QTest::newRow("no address") << "address1"
                                    << " "
                                    << "address2"
                                    << "" << QStringLiteral("住所を入力してください") << "txtZip3";
        QTest::newRow("zip1 two digits") << "zip1"
                                         << "12" << none << none << shortInput << "txtZip1";
        QTest::newRow("zip1 trimmed short") << "zip1"
                                            << " 12 " << none << none << shortInput << "txtZip1";
        QTest::newRow("zip1 letters pass") << "zip1"
                                           << "abc" << none << none << none << none;
        QTest::newRow("zip2 three") << "zip2"
                                    << "456" << none << none << shortInput << "txtZip2";
        QTest::newRow("zip2 five") << "zip2"
                                   << "45678" << none << none << shortInput << "txtZip2";
        // Order of the checks.
        QTest::newRow("hospital before tel") << "hospitalName"
                                             << ""
                                             << "tel"
                                             << "" << QStringLiteral("病院名を入力してください") << "txtShisetu";
        QTest::newRow("tel before address") << "tel"
                                            << ""
                                            << "address1"
                                            << "" << QStringLiteral("TELを入力してください") << "txtTel";
        QTest::newRow("address before length") << "zip1"
                                               << "1"
                                               << "address1"
                                               << "" << QStringLiteral("住所を入力してください") << "txtZip3";
        QTest::newRow("zip1 before zip2") << "zip1"
                                          << "1"
                                          << "zip2"
                                          << "1" << shortInput << "txtZip1";
        QTest::newRow("fax and mail optional") << "fax"
                                               << ""
                                               << "mail"
                                               << "" << none << none;
    }

    void okCheck()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, field2);
        QFETCH(QString, value2);
        QFETCH(QString, message);
        QFETCH(QString, focus);

        FacilityInfo info = validInfo();
        auto set = [&info](const QString &name, const QString &v) {
            if (name.isEmpty())
                return;
            static const QMap<QString, QString FacilityInfo::*> members {
                {"hospitalName", &FacilityInfo::hospitalName},
                {"departmentName", &FacilityInfo::departmentName},
                {"zip1", &FacilityInfo::zip1},
                {"zip2", &FacilityInfo::zip2},
                {"address1", &FacilityInfo::address1},
                {"address2", &FacilityInfo::address2},
                {"tel", &FacilityInfo::tel},
                {"fax", &FacilityInfo::fax},
                {"mail", &FacilityInfo::mail}};
            QVERIFY(members.contains(name));
            info.*members.value(name) = v;
        };
        set(field, value);
        set(field2, value2);

        const FacilityCheck c = checkFacilityInfo(&info);
        QCOMPARE(c.message, message);
        QCOMPARE(c.fieldName, focus);

        // The window runs the same check: a refusal shows it and writes nothing.
        TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        const FacilityOkResult r = facilityOk(t.ctx, &info);
        QCOMPARE(r.closeForm, message.isEmpty());
        QCOMPARE(r.focus, focus);
        QCOMPARE(t.prompter.texts(), message.isEmpty() ? QStringList() : QStringList {message});
        QCOMPARE(facilityFileExists(t.ctx), message.isEmpty());
    }

    void secondAddressLineMovesUp()
    {
        TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        FacilityInfo info = validInfo();
        info.address1 = QStringLiteral("  ");
        info.address2 = QStringLiteral("大阪府");
        QVERIFY(facilityOk(t.ctx, &info).closeForm);
        QCOMPARE(info.address1, QStringLiteral("大阪府"));
        QVERIFY(info.address2.isEmpty());
        FacilityInfo back;
        QVERIFY(loadFacilityInfo(t.ctx, &back));
        QCOMPARE(back.address1, QStringLiteral("大阪府"));
        QVERIFY(back.address2.isEmpty());

        // The move happens before the length checks, so a refusal there
        // still shows the moved line.
        FacilityInfo bad = validInfo();
        bad.address1.clear();
        bad.address2 = QStringLiteral("京都府");
        bad.zip2 = QStringLiteral("1");
        QCOMPARE(checkFacilityInfo(&bad).fieldName, QStringLiteral("txtZip2"));
        QCOMPARE(bad.address1, QStringLiteral("京都府"));
    }

    void failedWriteKeepsOldFileAndForm()
    {
        TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        FacilityInfo old = validInfo();
        QVERIFY(saveFacilityInfo(t.ctx, old));
        const QByteArray before = fileBytes(test::facilityFile(t.ctx.appDir));

        FacilityInfo info = validInfo();
        // A line break cannot go into a line file; é would now be refused before the write.
        info.hospitalName = QStringLiteral("中央\n病院");
        const FacilityOkResult r = facilityOk(t.ctx, &info);
        QVERIFY(!r.closeForm);
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(t.prompter.asked.first().kind, DialogKind::Error);
        QVERIFY(t.prompter.asked.first().text.startsWith(QStringLiteral("施設情報を保存できませんでした。")));
        QCOMPARE(fileBytes(test::facilityFile(t.ctx.appDir)), before);
    }

    void restrictedAccountCannotSave()
    {
        TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Restricted;
        QVERIFY(!facilityCanSave(t.ctx));
        FacilityInfo info = validInfo();
        QVERIFY(!facilityOk(t.ctx, &info).closeForm);
        QVERIFY(!facilityFileExists(t.ctx));
    }
};

QTEST_GUILESS_MAIN(TstFacilityInfo)
#include "tst_facilityinfo.moc"
