#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTreeWidget>
#include <QtTest>

#include "support/testcontext.h"
#include "support/widgets.h"
#include "ui/stafflistdialog.h"

using namespace velto;

namespace {
void seed(test::TestContext &t, const QStringList &lines)
{
    t.settings->setValue("Pass", "cnt", QString::number(lines.size()));
    for (int i = 0; i < lines.size(); ++i)
        t.settings->setValue("Pass", QStringLiteral("user%1").arg(i + 1), lines.at(i));
    QVERIFY(t.settings->commit());
}

using test::child;

// Runs `act` on the modal dialog that the next step opens.
void onNextModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
}

void selectRow(QTreeWidget *list, const QString &id)
{
    const auto items = list->findItems(id, Qt::MatchExactly);
    QVERIFY(items.size() == 1);
    list->setCurrentItem(items.first());
}
} // namespace

class TestStaffWindows : public QObject {
    Q_OBJECT
private slots:
    void administratorAddsAnAccount()
    {
        test::TestContext t;
        seed(t, {"Administrator,2,管理者,Brellowinster", "sato,1,佐藤,s"});
        splitAccountLine("Administrator,2,管理者,Brellowinster", &t.ctx.currentAccount);

        StaffListDialog w(t.ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("スタッフ情報設定"));
        auto *list = child<QTreeWidget>(&w, "ListView1");
        QVERIFY(list);
        QCOMPARE(list->headerItem()->text(0), QStringLiteral("スタッフ名"));
        QCOMPARE(list->headerItem()->text(1), QStringLiteral("権限"));
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(list->topLevelItem(1)->text(1), QStringLiteral("制限スタッフ"));
        QVERIFY(!list->topLevelItem(1)->icon(0).isNull());
        QVERIFY(child<QPushButton>(&w, "cmdCancel_1")->isDefault());
        QCOMPARE(child<QPushButton>(&w, "cmdAdd_1")->text(), QStringLiteral("ﾌﾟﾛﾊﾟﾃｨ(&P)"));
        QCOMPARE(child<QPushButton>(&w, "cmdTekiyo")->text(), QStringLiteral("適用(&A)"));
        for (const char *b : {"cmdAdd_0", "cmdAdd_1", "cmdDel_0", "cmdPass", "cmdOk", "cmdTekiyo"})
            QVERIFY2(child<QPushButton>(&w, b)->isEnabled(), b);

        // Add "ito": a comma is refused first, then the password dialog follows.
        QStringList seen;
        onNextModal([&](QWidget *dlg) {
            seen << dlg->windowTitle() << child<QPushButton>(dlg, "cmdOk")->text();
            auto *user = child<QLineEdit>(dlg, "txtUser");
            QTest::keyClicks(user, "i,to");
            child<QLineEdit>(dlg, "txtName")->setText("伊藤"); // typed through the input method
            child<QRadioButton>(dlg, "Option2")->setChecked(true);
            child<QPushButton>(dlg, "cmdOk")->click();
            seen << QString::number(dlg->focusWidget() == user);
            user->setText("ito");
            onNextModal([&](QWidget *pw) {
                auto *p1 = child<QLineEdit>(pw, "txtPassword");
                seen << QString::number(p1->maxLength()) << p1->toolTip();
                QTest::keyClicks(p1, "pw1");
                QTest::keyClicks(child<QLineEdit>(pw, "txtPasswordRet"), "pw1");
                child<QPushButton>(pw, "OKButton")->click();
            });
            child<QPushButton>(dlg, "cmdOk")->click();
        });
        child<QPushButton>(&w, "cmdAdd_0")->click();
        QCOMPARE(seen, (QStringList {"新しいスタッフの設定", "次へ >> ", "1", "10", "１０文字以内で入力してください"}));
        QCOMPARE(t.prompter.texts(), QStringList {"ログインIDに「,」（カンマ）は使用できません。"});
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(2)->text(0), QStringLiteral("ito"));
        QCOMPARE(list->topLevelItem(2)->text(1), QStringLiteral("全権限"));

        // Its password is set again from the list.
        selectRow(list, "ito");
        QCOMPARE(child<QGroupBox>(&w, "Frame1")->title(), QStringLiteral("ito のパスワード"));
        onNextModal([&](QWidget *pw) {
            QTest::keyClicks(child<QLineEdit>(pw, "txtPassword"), "pw2");
            QTest::keyClicks(child<QLineEdit>(pw, "txtPasswordRet"), "pw2");
            child<QPushButton>(pw, "OKButton")->click();
        });
        child<QPushButton>(&w, "cmdPass")->click();

        // Nothing reaches the store before Apply.
        QCOMPARE(SettingsStore(t.settings->filePath()).value("Pass", "cnt"), QStringLiteral("2"));
        child<QPushButton>(&w, "cmdTekiyo")->click();
        QVERIFY(w.isVisible());
        SettingsStore stored(t.settings->filePath());
        QCOMPARE(stored.value("Pass", "cnt"), QStringLiteral("3"));
        QCOMPARE(stored.value("Pass", "user2"), QStringLiteral("sato,1,佐藤,s"));
        QCOMPARE(stored.value("Pass", "user3"), QStringLiteral("ito,2,伊藤,pw2"));
    }

    void restrictedUserSeesOnlyHisOwnRights()
    {
        test::TestContext t;
        seed(t, {"Administrator,2,管理者,Brellowinster", "sato,1,佐藤,s", "suzuki,2,鈴木,z"});
        splitAccountLine("sato,1,佐藤,s", &t.ctx.currentAccount);

        StaffListDialog w(t.ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *list = child<QTreeWidget>(&w, "ListView1");
        auto *pass = child<QPushButton>(&w, "cmdPass");
        QVERIFY(!child<QPushButton>(&w, "cmdAdd_0")->isEnabled());
        QVERIFY(!child<QPushButton>(&w, "cmdDel_0")->isEnabled());
        QVERIFY(child<QPushButton>(&w, "cmdAdd_1")->isEnabled());
        QCOMPARE(list->topLevelItemCount(), 3); // every account is visible
        QVERIFY(!pass->isEnabled());
        selectRow(list, "sato");
        QVERIFY(pass->isEnabled());
        selectRow(list, "suzuki");
        QVERIFY(!pass->isEnabled());

        // Another account's properties are for looking only.
        QStringList seen;
        onNextModal([&](QWidget *dlg) {
            seen << dlg->windowTitle() << child<QLineEdit>(dlg, "txtName")->text();
            for (const char *c : {"txtUser", "txtName", "cmdOk"})
                seen << QString::number(dlg->findChild<QWidget *>(c)->isEnabled());
            seen << QString::number(child<QRadioButton>(dlg, "Option2")->isChecked());
            child<QPushButton>(dlg, "cmdCancel_1")->click();
        });
        child<QPushButton>(&w, "cmdAdd_1")->click();
        QCOMPARE(seen, (QStringList {"suzuki のﾌﾟﾛﾊﾟﾃｨ", "鈴木", "0", "0", "0", "1"}));

        // Cancel drops nothing that was stored.
        child<QPushButton>(&w, "cmdCancel_1")->click();
        QVERIFY(!w.isVisible());
        QCOMPARE(SettingsStore(t.settings->filePath()).value("Pass", "user3"), QStringLiteral("suzuki,2,鈴木,z"));
    }

    // A login ID or staff name the record files cannot hold is refused on OK
    // of the staff window, which stays open with the typing and the focus on
    // the field; no password is asked and nothing reaches the settings.
    void staffWindowRefusesUnholdable_data()
    {
        QTest::addColumn<bool>("adding");
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("message");
        const QString name
            = QStringLiteral("看護師名に保存できない文字があります。\r次の文字は保存できません：𠮷（U+20BB7）\r"
                             "別の文字に置き換えてから保存してください。");
        const QString id
            = QStringLiteral("ログインIDに保存できない文字があります。\r次の文字は保存できません：é（U+00E9）\r"
                             "別の文字に置き換えてから保存してください。");
        QTest::newRow("new staff, name") << true << "txtName" << QStringLiteral("𠮷田") << name;
        QTest::newRow("new staff, login ID") << true << "txtUser" << QStringLiteral("josé") << id;
        QTest::newRow("properties, name") << false << "txtName" << QStringLiteral("𠮷田") << name;
        QTest::newRow("properties, login ID") << false << "txtUser" << QStringLiteral("josé") << id;
    }
    void staffWindowRefusesUnholdable()
    {
        QFETCH(bool, adding);
        QFETCH(QString, field);
        QFETCH(QString, typed);
        QFETCH(QString, message);
        test::TestContext t;
        const QStringList lines = {"Administrator,2,管理者,Brellowinster", "sato,1,佐藤,s"};
        seed(t, lines);
        splitAccountLine(lines.at(0), &t.ctx.currentAccount);
        const QByteArray before = [&] {
            QFile f(t.settings->filePath());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();

        StaffListDialog w(t.ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *list = child<QTreeWidget>(&w, "ListView1");
        selectRow(list, "sato");
        QStringList seen;
        onNextModal([&](QWidget *dlg) {
            auto *tabs = child<QTabWidget>(dlg, "SSTab1");
            auto *box = child<QLineEdit>(dlg, qPrintable(field));
            if (adding) {
                child<QLineEdit>(dlg, "txtUser")->setText("ito");
                child<QLineEdit>(dlg, "txtName")->setText("伊藤");
                child<QRadioButton>(dlg, "Option2")->setChecked(true);
            }
            box->setText(typed);
            tabs->setCurrentIndex(1); // OK pressed while looking at the authority tab
            // A password dialog would mean the refusal came too late.
            onNextModal([&](QWidget *other) {
                if (other && other->objectName() == "frmPassword") {
                    seen << "password asked";
                    child<QPushButton>(other, "CancelButton")->click();
                }
            });
            child<QPushButton>(dlg, "cmdOk")->click();
            seen << QString::number(dlg->isVisible()) << box->text() << QString::number(tabs->currentIndex())
                 << QString::number(dlg->focusWidget() == box);
            child<QPushButton>(dlg, "cmdCancel_1")->click();
        });
        child<QPushButton>(&w, adding ? "cmdAdd_0" : "cmdAdd_1")->click();
        QCOMPARE(seen, (QStringList {"1", typed, "0", "1"}));
        QCOMPARE(t.prompter.texts(), QStringList {message});

        child<QPushButton>(&w, "cmdOk")->click();
        QFile f(t.settings->filePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }
};

QTEST_MAIN(TestStaffWindows)
#include "tst_staffwindows.moc"
