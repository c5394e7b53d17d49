#include <QtTest>

#include "staff/staffadmin.h"
#include "support/testcontext.h"

using namespace velto;

namespace {
const QString kAdmin = QStringLiteral("Administrator,2,管理者,Brellowinster");
const QString kSato = QStringLiteral("sato,1,佐藤,satopw");
const QString kSuzuki = QStringLiteral("suzuki,2,鈴木,suzu,ki");

void seed(test::TestContext &t, const QStringList &lines)
{
    t.settings->setValue("Pass", "cnt", QString::number(lines.size()));
    for (int i = 0; i < lines.size(); ++i)
        t.settings->setValue("Pass", QStringLiteral("user%1").arg(i + 1), lines.at(i));
    QVERIFY(t.settings->commit());
}

// A staff window session for the user `current` over the three accounts.
struct Session {
    test::TestContext t;
    StaffAdmin admin {t.ctx};
    explicit Session(const QString &current, const QStringList &lines = {kAdmin, kSato, kSuzuki})
    {
        seed(t, lines);
        for (const QString &line : lines)
            if (line.startsWith(current + ","))
                splitAccountLine(line, &t.ctx.currentAccount);
        admin.load();
    }
    int rowOf(const QString &id) const
    {
        for (int i = 0; i < admin.rowCount(); ++i)
            if (admin.row(i).loginId == id)
                return i;
        return -1;
    }
    void select(const QString &id) { admin.setSelectedRow(rowOf(id)); }
};

StaffEntry entry(const QString &id, const QString &name, int authority)
{
    StaffEntry e;
    e.loginId = id;
    e.staffName = name;
    e.authority = static_cast<Authority>(authority);
    return e;
}
} // namespace

class TestStaffAdmin : public QObject {
    Q_OBJECT
private slots:
    void loadsRowsWithAuthority()
    {
        Session s("Administrator");
        QCOMPARE(s.admin.rowCount(), 3);
        QCOMPARE(s.admin.selectedRow(), 0);
        QCOMPARE(s.admin.row(1).loginId, QStringLiteral("sato"));
        QCOMPARE(s.admin.row(1).authority, Authority::Restricted);
        QCOMPARE(s.admin.row(1).caption, QStringLiteral("制限スタッフ"));
        QCOMPARE(s.admin.row(2).caption, QStringLiteral("全権限"));
    }

    void listRights_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("add");
        QTest::addColumn<bool>("del");
        QTest::addColumn<bool>("pass");
        QTest::newRow("admin, other row") << "Administrator"
                                          << "sato" << true << true << true;
        QTest::newRow("admin, own row") << "Administrator"
                                        << "Administrator" << true << true << true;
        QTest::newRow("staff, own row") << "sato"
                                        << "sato" << false << false << true;
        QTest::newRow("staff, other row") << "sato"
                                          << "suzuki" << false << false << false;
        QTest::newRow("staff, admin row") << "suzuki"
                                          << "Administrator" << false << false << false;
    }
    void listRights()
    {
        QFETCH(QString, current);
        QFETCH(QString, selected);
        Session s(current);
        s.select(selected);
        const StaffListRights r = s.admin.rights();
        QTEST(r.add, "add");
        QTEST(r.del, "del");
        QVERIFY(r.list && r.properties && r.ok && r.apply);
        const PasswordFrame f = s.admin.passwordFrame();
        QTEST(f.passEnabled, "pass");
        QTEST(f.delEnabled, "del");
        QCOMPARE(f.caption, selected + " のパスワード");
        QCOMPARE(f.hint, selected + " のパスワードを変更するには、[パスワードの設定]をクリックしてください。");
    }

    void propertiesState_data()
    {
        QTest::addColumn<QString>("current");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<int>("checked");
        // user, name, option1, option2, ok
        QTest::addColumn<QString>("enabled");
        QTest::newRow("admin on restricted") << "Administrator"
                                             << "sato" << 1 << "11111";
        QTest::newRow("admin on full") << "Administrator"
                                       << "suzuki" << 2 << "11111";
        QTest::newRow("admin on himself") << "Administrator"
                                          << "Administrator" << 2 << "01011";
        QTest::newRow("restricted on himself") << "sato"
                                               << "sato" << 1 << "01101";
        QTest::newRow("full on himself") << "suzuki"
                                         << "suzuki" << 2 << "01011";
        QTest::newRow("staff on other") << "sato"
                                        << "suzuki" << 2 << "00010";
        QTest::newRow("staff on admin") << "suzuki"
                                        << "Administrator" << 2 << "00010";
    }
    void propertiesState()
    {
        QFETCH(QString, current);
        QFETCH(QString, selected);
        QFETCH(QString, enabled);
        Session s(current);
        s.select(selected);
        s.admin.setDialogMode(StaffAdmin::PropertiesMode);
        const StaffDialogState st = s.admin.staffDialogState();
        QVERIFY(st.valid);
        QCOMPARE(st.caption, selected + " のﾌﾟﾛﾊﾟﾃｨ");
        QCOMPARE(st.okCaption, QStringLiteral("OK(&O)"));
        QCOMPARE(st.loginId, selected);
        QCOMPARE(st.staffName, s.admin.selectedAccount().staffName);
        QTEST(storedAuthority(st.checkedAuthority), "checked");
        const QString got = QString::number(st.userEnabled) + QString::number(st.nameEnabled)
                            + QString::number(st.option1Enabled) + QString::number(st.option2Enabled)
                            + QString::number(st.okEnabled);
        QCOMPARE(got, enabled);
        QCOMPARE(s.t.ctx.currentAccount.loginId, current); // working on another account never touches it
    }

    void addModeStartsOpen()
    {
        Session s("Administrator");
        s.select("suzuki");
        QVERIFY(s.admin.setLineData());
        s.admin.setDialogMode(StaffAdmin::AddMode);
        const StaffDialogState st = s.admin.staffDialogState();
        QCOMPARE(st.caption, QStringLiteral("新しいスタッフの設定"));
        QCOMPARE(st.okCaption, QStringLiteral("次へ >> "));
        QCOMPARE(st.checkedAuthority, Authority::None);
        QVERIFY(st.loginId.isEmpty() && st.staffName.isEmpty());
        QVERIFY(st.userEnabled && st.nameEnabled && st.option1Enabled && st.option2Enabled && st.okEnabled);
    }

    void okRefusals_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("id");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("authority");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("focus"); // empty: the dialog closes
        const int add = StaffAdmin::AddMode, props = StaffAdmin::PropertiesMode;
        QTest::newRow("add Administrator") << add << "Administrator"
                                           << "x" << 2 << "Administratorへの操作は禁止しております。"
                                           << "";
        QTest::newRow("admin's own properties") << props << "Administrator"
                                                << "新しい名前" << 2 << "Administratorへの操作は禁止しております。"
                                                << "";
        QTest::newRow("empty id") << add << ""
                                  << "" << 0 << "ログインIDが入力されていません。"
                                  << "txtUser";
        QTest::newRow("blank id is not empty, empty name") << add << " "
                                                           << "" << 1 << "看護師名が入力されていません。"
                                                           << "txtName";
        QTest::newRow("no authority") << add << "ito"
                                      << "伊藤" << 0 << "権限タブをクリックして、権限を設定してください。"
                                      << "SSTab1";
        QTest::newRow("comma in id") << add << "i,to"
                                     << "伊藤" << 1 << "ログインIDに「,」（カンマ）は使用できません。"
                                     << "txtUser";
        QTest::newRow("comma in name") << props << "sato"
                                       << "佐藤,花子" << 1 << "看護師名に「,」（カンマ）は使用できません。"
                                       << "txtName";
    }
    void okRefusals()
    {
        QFETCH(int, mode);
        QFETCH(QString, id);
        QFETCH(QString, name);
        QFETCH(int, authority);
        QFETCH(QString, focus);
        Session s("Administrator");
        s.select(mode == StaffAdmin::PropertiesMode ? id.section(',', 0, 0) : "sato");
        s.admin.setDialogMode(StaffAdmin::DialogMode(mode));
        QVERIFY(s.admin.staffDialogState().valid);
        const QStringList before = s.admin.table().lines;
        int asked = 0;
        const StaffOkResult r = s.admin.staffDialogOk(entry(id, name, authority), [&] {
            ++asked;
            return true;
        });
        QFETCH(QString, message);
        QCOMPARE(s.t.prompter.texts(), QStringList {message});
        QCOMPARE(r.close, focus.isEmpty());
        QCOMPARE(r.focusControl, focus);
        QCOMPARE(asked, 0);
        QCOMPARE(s.admin.table().lines, before);
    }

    void addAccount()
    {
        Session s("Administrator");
        // The account opened last must not lend its password to the new one.
        s.select("suzuki");
        QVERIFY(s.admin.setLineData());
        s.admin.setDialogMode(StaffAdmin::AddMode);

        // Password dialog cancelled: the addition is cancelled.
        StaffOkResult r = s.admin.staffDialogOk(entry("ito", "伊藤", 1), [] { return false; });
        QVERIFY(r.close);
        QCOMPARE(s.admin.rowCount(), 3);

        r = s.admin.staffDialogOk(entry("ito", "伊藤", 1), [&] { return s.admin.passwordOk("", ""); });
        QVERIFY(r.close);
        QCOMPARE(s.admin.table().lines.last(), QStringLiteral("ito,1,伊藤,"));
        QCOMPARE(s.admin.row(3).caption, QStringLiteral("制限スタッフ"));

        // The same login ID again before Apply: refused after the password dialog.
        int asked = 0;
        r = s.admin.staffDialogOk(entry("ito", "井藤", 2), [&] {
            ++asked;
            return s.admin.passwordOk("p", "p");
        });
        QVERIFY(!r.close);
        QCOMPARE(r.focusControl, QStringLiteral("txtUser"));
        QCOMPARE(asked, 1);
        QCOMPARE(
            s.t.prompter.texts(),
            QStringList {"すでにスタッフ（ユーザー）が存在します。追加する場合は、スタッフ名を変更してください。"});
        QCOMPARE(s.admin.rowCount(), 4);

        // An appended digit makes another login ID.
        r = s.admin.staffDialogOk(entry("ito2", "井藤", 2), [&] { return s.admin.passwordOk("p,1", "p,1"); });
        QVERIFY(r.close);
        QCOMPARE(s.admin.table().lines.last(), QStringLiteral("ito2,2,井藤,p,1"));
        QVERIFY(!s.t.settings->value("Pass", "user5").size()); // nothing written before Apply
    }

    void changeKeepsPassword()
    {
        Session s("Administrator");
        s.select("suzuki");
        s.admin.setDialogMode(StaffAdmin::PropertiesMode);
        QVERIFY(s.admin.staffDialogState().valid);
        bool asked = false;
        const StaffOkResult r = s.admin.staffDialogOk(entry("suzuki2", "鈴木一", 1), [&] {
            asked = true;
            return false;
        });
        QVERIFY(r.close);
        QVERIFY(!asked); // no password dialog for properties
        QCOMPARE(s.admin.table().lines, (QStringList {kAdmin, kSato, "suzuki2,1,鈴木一,suzu,ki"}));
        QCOMPARE(s.admin.row(2).caption, QStringLiteral("制限スタッフ"));
    }

    void deleteAccount_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QStringList>("after");
        QTest::newRow("Administrator") << "Administrator" << true << "Administratorは削除しないでください。"
                                       << QStringList {kAdmin, kSato, kSuzuki};
        QTest::newRow("no") << "sato" << false << "satoを削除します。よろしいですか？"
                            << QStringList {kAdmin, kSato, kSuzuki};
        QTest::newRow("yes") << "sato" << true << "satoを削除します。よろしいですか？" << QStringList {kAdmin, kSuzuki};
    }
    void deleteAccount()
    {
        QFETCH(QString, id);
        QFETCH(bool, answer);
        QFETCH(QStringList, after);
        Session s("Administrator");
        s.select(id);
        s.t.prompter.answers = {answer};
        s.admin.deleteSelected();
        QFETCH(QString, message);
        QCOMPARE(s.t.prompter.texts(), QStringList {message});
        QCOMPARE(s.admin.table().lines, after);
        // The row that moved up is selected next.
        QCOMPARE(s.admin.row(s.admin.selectedRow()).loginId, answer && id != "Administrator" ? QString("suzuki") : id);
    }

    void setPassword()
    {
        Session s("Administrator");
        s.select("suzuki");
        // Texts that differ in one character are refused; the dialog stays.
        bool firstTry = true;
        QVERIFY(s.admin.setPassword([&] {
            firstTry = s.admin.passwordOk("abc", "abd");
            return s.admin.passwordOk("", "");
        }));
        QVERIFY(!firstTry);
        QCOMPARE(s.t.prompter.texts(), QStringList {"パスワードが一致しません。入れなおしてください。"});
        QCOMPARE(s.admin.table().lines.at(2), QStringLiteral("suzuki,2,鈴木,"));

        // Cancelled: the line stays.
        QVERIFY(!s.admin.setPassword([&] { return false; }));
        QCOMPARE(s.admin.table().lines.at(2), QStringLiteral("suzuki,2,鈴木,"));

        // A line that cannot be read is reported and left alone.
        Session bad("Administrator", {kAdmin, "broken"});
        bad.admin.setSelectedRow(1);
        bool asked = false;
        QVERIFY(!bad.admin.setPassword([&] {
            asked = true;
            return true;
        }));
        QVERIFY(!asked);
        QCOMPARE(bad.admin.table().lines.at(1), QStringLiteral("broken"));
        QCOMPARE(bad.t.prompter.asked.size(), 1); // the unexpected-error report
    }

    void applyWritesTheWholeSection()
    {
        Session s("Administrator");
        s.t.makeFolders();                                 // the ward's history beside the data
        seed(s.t, {kAdmin, kSato, kSuzuki, "old,1,古,x"}); // a fourth key the rewrite must drop
        s.admin.load();
        s.select("old");
        s.t.prompter.answers = {true};
        QVERIFY(s.admin.deleteSelected());
        s.select("sato");
        s.t.prompter.answers = {true};
        QVERIFY(s.admin.deleteSelected());
        s.admin.setDialogMode(StaffAdmin::AddMode);
        QVERIFY(s.admin.staffDialogOk(entry("ito", "伊藤", 2), [&] { return s.admin.passwordOk("pw", "pw"); }).close);

        const int journalStart = int(s.t.settings->journal().size());
        QVERIFY(s.admin.apply());
        QCOMPARE(s.t.prompter.asked.size(), 2); // the two deletions' questions only
        QCOMPARE(s.t.settings->journal().mid(journalStart),
                 (QStringList {"-Pass", "Pass/cnt", "Pass/user1", "Pass/user2", "Pass/user3"}));

        SettingsStore reread(s.t.settings->filePath());
        QCOMPARE(reread.value("Pass", "cnt"), QStringLiteral("3"));
        QCOMPARE(reread.value("Pass", "user1"), kAdmin);
        QCOMPARE(reread.value("Pass", "user2"), kSuzuki);
        QCOMPARE(reread.value("Pass", "user3"), QStringLiteral("ito,2,伊藤,pw"));
        QVERIFY(!reread.contains("Pass", "user4"));

        // The history says who went and who came, by the one who applied.
        QList<HistoryEvent> events;
        QString error;
        QVERIFY2(s.t.ctx.store->readHistory(&events, &error), qPrintable(error));
        QStringList details;
        for (const HistoryEvent &e : events) {
            QCOMPARE(e.kind, historykind::StaffChange);
            QCOMPARE(e.loginId, QStringLiteral("Administrator"));
            details << e.detail;
        }
        QCOMPARE(details, (QStringList {"削除 sato（佐藤）", "削除 old（古）", "追加 ito（伊藤）"}));
    }

    void staffChangeEventsNameWhatChanged_data()
    {
        QTest::addColumn<QString>("after");
        QTest::addColumn<QStringList>("details");
        QTest::newRow("nothing") << kSato << QStringList();
        QTest::newRow("the name") << "sato,1,佐藤花子,satopw" << QStringList {"変更 sato（佐藤花子）: スタッフ名"};
        QTest::newRow("the authority") << "sato,2,佐藤,satopw" << QStringList {"変更 sato（佐藤）: 権限"};
        // Named, never shown: neither the old password nor the new one.
        QTest::newRow("the password") << "sato,1,佐藤,secret9" << QStringList {"変更 sato（佐藤）: パスワード"};
        QTest::newRow("all three") << "sato,2,佐藤花子,secret9"
                                   << QStringList {"変更 sato（佐藤花子）: スタッフ名、権限、パスワード"};
        QTest::newRow("another login ID")
            << "sato2,1,佐藤,satopw" << QStringList {"削除 sato（佐藤）", "追加 sato2（佐藤）"};
    }
    void staffChangeEventsNameWhatChanged()
    {
        QFETCH(QString, after);
        QFETCH(QStringList, details);
        test::TestContext t;
        QStringList said;
        for (const HistoryEvent &e : staffChangeEvents(t.ctx, {kAdmin, kSato}, {kAdmin, after})) {
            QVERIFY(!e.detail.contains("satopw") && !e.detail.contains("secret9"));
            said << e.detail;
        }
        QCOMPARE(said, details);
    }

    void failedApplyKeepsChanges()
    {
        Session s("Administrator");
        s.select("sato");
        s.t.prompter.answers = {true};
        QVERIFY(s.admin.deleteSelected());
        s.t.prompter.clear();

        // A store whose folder cannot be made.
        QFile blocker(s.t.dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SettingsStore broken(s.t.dir.filePath("blocker/Quolmar.ini"));
        broken.setValue("Pass", "cnt", "3");
        QVERIFY(broken.commit() == false);
        s.t.ctx.settings = &broken;

        QVERIFY(!s.admin.apply());
        QCOMPARE(s.t.prompter.asked.size(), 1);
        QCOMPARE(s.t.prompter.asked.first().kind, DialogKind::Error);
        QVERIFY(s.t.prompter.asked.first().text.startsWith("設定を保存できませんでした。"));
        QCOMPARE(s.admin.table().lines, (QStringList {kAdmin, kSuzuki}));
        QCOMPARE(broken.value("Pass", "user2"), QString()); // the store holds no unwritten accounts

        // Once the store can be written again, the same changes go through.
        s.t.ctx.settings = s.t.settings.get();
        QVERIFY(s.admin.apply());
        QCOMPARE(SettingsStore(s.t.settings->filePath()).value("Pass", "user2"), kSuzuki);
    }
};

QTEST_GUILESS_MAIN(TestStaffAdmin)
#include "tst_staffadmin.moc"
