#include <QtTest>

#include "core/eradate.h"
#include "support/testcontext.h"

using namespace velto;

class TestEraDate : public QObject {
    Q_OBJECT
private slots:
    void nowDate_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("era");
        QTest::newRow("last Showa day") << QDate(1989, 1, 7) << "昭和64年01月07日";
        QTest::newRow("first Heisei day") << QDate(1989, 1, 8) << "平成01年01月08日";
        QTest::newRow("2006-12-03") << QDate(2006, 12, 3) << "平成18年12月03日";
        QTest::newRow("last Heisei day") << QDate(2019, 4, 30) << "平成31年04月30日";
        QTest::newRow("first Reiwa day") << QDate(2019, 5, 1) << "令和01年05月01日";
        QTest::newRow("Taisho start") << QDate(1912, 7, 30) << "大正01年07月30日";
        QTest::newRow("Meiji end") << QDate(1912, 7, 29) << "明治45年07月29日";
        QTest::newRow("Showa start") << QDate(1926, 12, 25) << "昭和01年12月25日";
    }
    void nowDate()
    {
        QFETCH(QDate, today);
        QFETCH(QString, era);
        test::TestContext t;
        t.clock.set(QDateTime(today, QTime(23, 59)));
        QCOMPARE(getNowDate(t.ctx), era);
        QCOMPARE(era.size(), 11);
    }

    void waDate_data()
    {
        QTest::addColumn<QString>("compact");
        QTest::addColumn<QString>("expected");
        QTest::newRow("valid") << "20061203"
                               << "平成18年12月03日";
        QTest::newRow("7 chars") << "2006120"
                                 << "";
        QTest::newRow("9 chars") << "200612031"
                                 << "";
        QTest::newRow("not a date") << "20060230"
                                    << "2006/02/30";
    }
    void waDate()
    {
        QFETCH(QString, compact);
        QFETCH(QString, expected);
        test::TestContext t;
        QCOMPARE(getWaDate(t.ctx, compact), expected);
    }

    void howOld_data()
    {
        QTest::addColumn<QDate>("today");
        QTest::addColumn<QString>("birth");
        QTest::addColumn<QString>("age");
        QTest::addColumn<QString>("message");
        const QString none;
        QTest::newRow("born today") << QDate(2026, 12, 10) << "令和8年12月10日"
                                    << "0歳" << none;
        QTest::newRow("birthday today") << QDate(2026, 12, 10) << "昭和36年12月10日"
                                        << "65歳" << none;
        QTest::newRow("birthday tomorrow") << QDate(2026, 12, 10) << "昭和36年12月11日"
                                           << "64歳" << none;
        QTest::newRow("Feb 29, non-leap Feb 28") << QDate(2026, 2, 28) << "平成12年2月29日"
                                                 << "25歳" << none;
        QTest::newRow("Feb 29, non-leap Mar 1") << QDate(2026, 3, 1) << "平成12年2月29日"
                                                << "26歳" << none;
        QTest::newRow("Feb 29, leap Feb 29") << QDate(2028, 2, 29) << "平成12年2月29日"
                                             << "28歳" << none;
        QTest::newRow("first Heisei year") << QDate(2026, 12, 10) << "平成1年1月8日"
                                           << "37歳" << none;
        QTest::newRow("era year past its end") << QDate(2026, 12, 10) << "昭和70年1月1日"
                                               << "31歳" << none;
        QTest::newRow("tomorrow") << QDate(2026, 12, 10) << "令和8年12月11日"
                                  << ""
                                  << "未来日付は入力できません。";
        QTest::newRow("Feb 30") << QDate(2026, 12, 10) << "平成1年2月30日"
                                << ""
                                << "指定した生年月日の日付は存在しません。";
        QTest::newRow("incomplete") << QDate(2026, 12, 10) << "昭和年5月10日"
                                    << ""
                                    << "指定した生年月日の日付は存在しません。";
    }
    void howOld()
    {
        QFETCH(QDate, today);
        QFETCH(QString, birth);
        QFETCH(QString, age);
        QFETCH(QString, message);
        test::TestContext t;
        t.clock.set(QDateTime(today, QTime(8, 0)));
        QCOMPARE(getHowOld(t.ctx, birth), age);
        if (message.isEmpty()) {
            QVERIFY(t.prompter.asked.isEmpty());
        } else {
            QCOMPARE(t.prompter.asked.size(), 1);
            QCOMPARE(t.prompter.asked.first().kind, DialogKind::Error);
            QCOMPARE(t.prompter.asked.first().text, message);
        }
    }
};

QTEST_GUILESS_MAIN(TestEraDate)
#include "tst_eradate.moc"
