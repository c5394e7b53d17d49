#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QtTest>

#include "core/platform.h"
#include "core/startup.h"
#include "support/testcontext.h"
#include "ui/appflow.h"
#include "ui/logindialog.h"
#include "ui/messageboxprompter.h"

using namespace velto;

namespace {
// Notes the title screen when it is shown.
class ShowWatcher : public QObject {
public:
    explicit ShowWatcher(QStringList *order)
        : m_order(order)
    { }
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::Show && o->objectName() == QLatin1String("frmSplash"))
            *m_order << o->objectName();
        return false;
    }

private:
    QStringList *m_order;
};
} // namespace

class TestLogin : public QObject {
    Q_OBJECT
private slots:
    void logsInThroughTheWindow()
    {
        test::TestContext t;
        QVERIFY(prepareDataFolders(t.ctx));
        AccountTable table;
        LoginDialog w(t.ctx, table);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("Velto　ログイン"));
        auto *id = w.findChild<QLineEdit *>("txtLoginID");
        auto *pw = w.findChild<QLineEdit *>("txtPassword");
        QVERIFY(id && pw);
        QCOMPARE(id->text(), QStringLiteral("Administrator"));
        QCOMPARE(id->maxLength(), 20);
        QCOMPARE(pw->maxLength(), 20);
        QCOMPARE(pw->echoMode(), QLineEdit::Password);
        QCOMPARE(pw->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, pw), int('*'));
        QVERIFY(!pw->testAttribute(Qt::WA_InputMethodEnabled));
        QCOMPARE(QApplication::focusWidget(), pw);
        QCOMPARE(w.findChild<QPushButton *>("Command1")->text(), QStringLiteral("OK(&O)"));
        QCOMPARE(w.findChild<QPushButton *>("Command2")->text(), QStringLiteral("ｷｬﾝｾﾙ(&C)"));

        // A wrong password keeps the window; the focus returns to the box.
        QTest::keyClicks(pw, "wrong");
        QTest::keyClick(pw, Qt::Key_Return);
        QCOMPARE(t.prompter.texts(), QStringList {"パスワードが間違えています。あと２回です。"});
        QVERIFY(w.isVisible());
        QCOMPARE(pw->text(), QStringLiteral("wrong")); // boxes are not cleared

        pw->clear();
        QTest::keyClicks(pw, "Brellowinster");
        QTest::keyClick(pw, Qt::Key_Return);
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QCOMPARE(t.ctx.currentAccount.staffName, QStringLiteral("管理者"));
        QCOMPARE(t.ctx.currentAccount.authority, Authority::Full);
    }

    void dialogsHaveTheirTitlesAndDefaults_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("title");
        QTest::addColumn<int>("icon");
        QTest::addColumn<int>("defaultButton");
        QTest::newRow("error") << int(DialogKind::Error) << "エラーメッセージ" << int(QMessageBox::Critical)
                               << int(QMessageBox::Ok);
        QTest::newRow("warn yes/no") << int(DialogKind::WarnYesNo) << "警告メッセージ" << int(QMessageBox::Warning)
                                     << int(QMessageBox::Yes);
        QTest::newRow("warn yes/no def no")
            << int(DialogKind::WarnYesNoDefNo) << "警告メッセージ" << int(QMessageBox::Warning) << int(QMessageBox::No);
        QTest::newRow("warn") << int(DialogKind::Warn) << "警告メッセージ" << int(QMessageBox::Warning)
                              << int(QMessageBox::Ok);
        QTest::newRow("confirm") << int(DialogKind::ConfirmYesNo) << "確認メッセージ" << int(QMessageBox::Question)
                                 << int(QMessageBox::Yes);
        QTest::newRow("info") << int(DialogKind::Info) << "情報メッセージ" << int(QMessageBox::Information)
                              << int(QMessageBox::Ok);
    }
    void dialogsHaveTheirTitlesAndDefaults()
    {
        QFETCH(int, kind);
        QFETCH(int, defaultButton);
        std::unique_ptr<QMessageBox> box(MessageBoxPrompter::build(DialogKind(kind), "一行目\r二行目"));
        QTEST(box->windowTitle(), "title");
        QTEST(int(box->icon()), "icon");
        QCOMPARE(box->text(), QStringLiteral("一行目\n二行目"));
        QCOMPARE(int(box->standardButton(box->defaultButton())), defaultButton);
        const bool yesNo = defaultButton != QMessageBox::Ok;
        QCOMPARE(box->buttons().size(), yesNo ? 2 : 1);
        if (yesNo) {
            // Escape and the close box do not answer a question.
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            QTest::keyClick(box.get(), Qt::Key_Escape);
            QVERIFY(box->isVisible());
            box->close();
            QVERIFY(box->isVisible());
            // Enter gives the default answer.
            QTest::keyClick(box.get(), Qt::Key_Return);
            QCOMPARE(int(box->standardButton(box->clickedButton())), defaultButton);
        }
    }

    void secondInstanceEndsAlone()
    {
        test::TestContext t;
        const QString lockPath = t.dir.filePath("velto.lock");
        platform::InstanceLock running(lockPath);
        QVERIFY(running.acquire());
        FolderStore store(t.ctx.appDir, lockPath);
        t.ctx.store = &store;
        AppFlow flow(t.ctx, {});
        QCOMPARE(flow.run(), 1);
        QCOMPARE(t.prompter.texts(), QStringList {"既に起動しています。"});
        // Nothing is created or written by the second start.
        QVERIFY(!QFileInfo::exists(t.path("DB")));
        QVERIFY(!QFileInfo::exists(t.settings->filePath()));
    }

    void choiceAfterLogin_data()
    {
        QTest::addColumn<int>("midashi");
        QTest::addColumn<bool>("facilityFile");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("title, first start") << 0 << false << QStringList {"frmSplash", "facility(locked)", "board"};
        QTest::newRow("title, later start") << 0 << true << QStringList {"frmSplash", "board"};
        QTest::newRow("no title, first start") << 1 << false << QStringList {"facility(locked)", "board"};
        QTest::newRow("no title, later start") << 1 << true << QStringList {"board"};
    }
    void choiceAfterLogin()
    {
        QFETCH(int, midashi);
        QFETCH(bool, facilityFile);
        test::TestContext t;
        t.makeFolders();
        if (facilityFile) {
            QFile f(t.path("DB/HOSPITAL_INFO.WBD"));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        t.ctx.optionValues.midashiOnOff = midashi;
        QStringList order;
        ShowWatcher watcher(&order);
        qApp->installEventFilter(&watcher);
        AppHooks hooks;
        hooks.facilityForm = [&](AppContext &, bool locked) {
            order << (locked ? "facility(locked)" : "facility");
            return true;
        };
        hooks.board = [&](AppContext &) { order << "board"; };
        AppFlow flow(t.ctx, hooks, 50);
        flow.afterLogin();
        qApp->removeEventFilter(&watcher);
        QTEST(order, "order");
    }
};

QTEST_MAIN(TestLogin)
#include "tst_login.moc"
