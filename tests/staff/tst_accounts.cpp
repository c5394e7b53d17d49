#include <QtTest>

#include "core/textfile.h"
#include "staff/accounts.h"
#include "support/testcontext.h"

using namespace velto;

class TestAccounts : public QObject {
    Q_OBJECT

    static void seed(test::TestContext &t, const QStringList &lines)
    {
        t.settings->setValue("Pass", "cnt", QString::number(lines.size()));
        for (int i = 0; i < lines.size(); ++i)
            t.settings->setValue("Pass", QStringLiteral("user%1").arg(i + 1), lines.at(i));
        t.settings->setValue("Option", "backup_on_off", "1");
        t.settings->setValue("Option", "backup_off_time", "2");
        t.settings->setValue("Option", "midashi_on_off", "0");
    }

private slots:
    void split_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("id");
        QTest::addColumn<int>("authority");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::newRow("built-in") << "Administrator,2,管理者,Brellowinster" << true << "Administrator" << 2 << "管理者"
                                  << "Brellowinster";
        QTest::newRow("empty password") << "sato,1,佐藤," << true << "sato" << 1 << "佐藤"
                                        << "";
        QTest::newRow("commas in password") << "sato,1,佐藤,a,b,,c" << true << "sato" << 1 << "佐藤"
                                            << "a,b,,c";
        QTest::newRow("empty name") << "sato,2,,pw" << true << "sato" << 2 << ""
                                    << "pw";
        QTest::newRow("second comma unseen") << "sato,2x名前,pw" << true << "sato" << 2 << "名前"
                                             << "pw";
        QTest::newRow("no comma") << "Administrator" << false << "" << 0 << ""
                                  << "";
        QTest::newRow("no third comma") << "sato,1,佐藤" << false << "" << 0 << ""
                                        << "";
        QTest::newRow("authority not a digit") << "sato,x,佐藤,pw" << false << "" << 0 << ""
                                               << "";
        QTest::newRow("ends after id") << "sato," << false << "" << 0 << ""
                                       << "";
        QTest::newRow("empty line") << "" << false << "" << 0 << ""
                                    << "";
    }
    void split()
    {
        QFETCH(QString, line);
        QFETCH(bool, ok);
        StaffAccount a;
        QCOMPARE(splitAccountLine(line, &a), ok);
        if (!ok)
            return;
        QTEST(a.loginId, "id");
        QTEST(storedAuthority(a.authority), "authority");
        QTEST(a.staffName, "name");
        QTEST(a.password, "password");
        QCOMPARE(joinAccountLine(a), line.contains("2x") ? QString("sato,2,名前,pw") : line);
    }

    void loginIdTakenChecksWholeIdsOfFirstCountLines()
    {
        AccountTable table {{"Administrator,2,管理者,x", "nocomma", "sato1,1,佐藤,y"}};
        QVERIFY(loginIdTaken(table, 3, "Administrator"));
        QVERIFY(!loginIdTaken(table, 3, "sato"));    // whole text before the comma
        QVERIFY(!loginIdTaken(table, 3, "nocomma")); // lines without a comma are skipped
        QVERIFY(!loginIdTaken(table, 2, "sato1"));   // only the first `count` lines
        QVERIFY(loginIdTaken(table, 3, "sato1"));
    }

    void loadAccountsKeepsTableOnBadCount()
    {
        test::TestContext t;
        t.makeFolders();
        AccountTable table {{"keep,1,me,"}};
        t.settings->setValue("Pass", "cnt", "abc");
        QVERIFY(!loadAccounts(t.ctx, table));
        QCOMPARE(table.lines, QStringList {"keep,1,me,"});
        QCOMPARE(t.prompter.asked.size(), 1);
        QVERIFY(QFileInfo::exists(t.path("log/error.log")));

        t.settings->setValue("Pass", "cnt", "2"); // user2 missing reads as empty
        t.settings->setValue("Pass", "user1", "a,1,b,c");
        QVERIFY(loadAccounts(t.ctx, table));
        QCOMPARE(table.lines, (QStringList {"a,1,b,c", ""}));
    }

    // Each row: typed id/password per attempt; expected dialog text and focus.
    void attempts_data()
    {
        QTest::addColumn<QStringList>("ids");
        QTest::addColumn<QStringList>("passwords");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QStringList>("focus");
        QTest::addColumn<int>("finalKind");
        QTest::newRow("first try") << QStringList {"Administrator"} << QStringList {"Brellowinster"} << QStringList {}
                                   << QStringList {""} << int(LoginResult::LoggedIn);
        QTest::newRow("wrong password then right")
            << QStringList {"Administrator", "Administrator"} << QStringList {"x", "Brellowinster"}
            << QStringList {"パスワードが間違えています。あと２回です。"} << QStringList {"txtPassword", ""}
            << int(LoginResult::LoggedIn);
        QTest::newRow("case matters, then unknown id, then third failure")
            << QStringList {"administrator", "Administrator", "Administrator"}
            << QStringList {"Brellowinster", "Brellowinster ", "y"}
            << QStringList {"ログインIDが間違えています。あと２回です。", "パスワードが間違えています。あと１回です。",
                            "ログイン失敗しました。処理を終了します。\rコンピュータ管理者に問い合わせてください。"}
            << QStringList {"txtLoginID", "txtPassword", "txtPassword"} << int(LoginResult::Exhausted);
        QTest::newRow("unknown id second")
            << QStringList {"Administrator", "nobody"} << QStringList {"x", "x"}
            << QStringList {"パスワードが間違えています。あと２回です。", "ログインIDが間違えています。あと１回です。"}
            << QStringList {"txtPassword", "txtLoginID"} << int(LoginResult::TryAgain);
        QTest::newRow("empty password account") << QStringList {"nopw"} << QStringList {""} << QStringList {}
                                                << QStringList {""} << int(LoginResult::LoggedIn);
        QTest::newRow("password with commas") << QStringList {"comma"} << QStringList {"a,b,c"} << QStringList {}
                                              << QStringList {""} << int(LoginResult::LoggedIn);
    }
    void attempts()
    {
        QFETCH(QStringList, ids);
        QFETCH(QStringList, passwords);
        QFETCH(QStringList, texts);
        QFETCH(QStringList, focus);
        QFETCH(int, finalKind);
        test::TestContext t;
        seed(t, {"Administrator,2,管理者,Brellowinster", "nopw,1,無,", "comma,1,カンマ,a,b,c"});
        AccountTable table;
        LoginResult r {LoginResult::Aborted, {}};
        for (int i = 0; i < ids.size(); ++i) {
            r = loginCheck(t.ctx, table, ids.at(i), passwords.at(i));
            QCOMPARE(r.focusControl, focus.at(i));
        }
        QCOMPARE(int(r.kind), finalKind);
        QCOMPARE(t.prompter.texts(), texts);
        QCOMPARE(t.ctx.loginAttempts, ids.size());
        if (finalKind == LoginResult::LoggedIn) {
            QCOMPARE(t.ctx.currentAccount.loginId, ids.last());
            QCOMPARE(t.ctx.currentAccount.password, passwords.last());
            QCOMPARE(t.ctx.optionValues.backupOffTime, 2);
        } else {
            QVERIFY(t.ctx.currentAccount.loginId.isEmpty());
        }
    }

    void badOptionOrLineAbortsAttempt_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("midashi");
        QTest::newRow("non-numeric option") << "Administrator,2,管理者,Brellowinster"
                                            << "x";
        QTest::newRow("missing option") << "Administrator,2,管理者,Brellowinster"
                                        << "";
        QTest::newRow("unsplittable line") << "broken"
                                           << "0";
    }
    void badOptionOrLineAbortsAttempt()
    {
        QFETCH(QString, line);
        QFETCH(QString, midashi);
        test::TestContext t;
        t.makeFolders();
        seed(t, {line});
        t.settings->setValue("Option", "midashi_on_off", midashi);
        AccountTable table;
        const LoginResult r = loginCheck(t.ctx, table, "Administrator", "Brellowinster");
        QCOMPARE(r.kind, LoginResult::Aborted);
        QCOMPARE(t.ctx.loginAttempts, 1);
        QCOMPARE(t.prompter.asked.size(), 1); // the error report, no attempt message
        QVERIFY(t.prompter.asked.first().text.startsWith("予期せぬエラーが発生しました。"));
        QStringList log;
        QString err;
        QVERIFY(textfile::readLines(t.path("log/error.log"), &log, &err));
        QCOMPARE(log.value(2), QStringLiteral("[FUNC] frmLogin.Command1_Click()"));
    }
};

QTEST_GUILESS_MAIN(TestAccounts)
#include "tst_accounts.moc"
