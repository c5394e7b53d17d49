#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTabWidget>
#include <QWindow>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "core/eradate.h"
#include "core/textfile.h"
#include "facility/facilityinfo.h"
#include "support/files.h"
#include "support/patients.h"
#include "support/testcontext.h"
#include "support/widgets.h"
#include "ui/appflow.h"
#include "ui/backupwindow.h"
#include "ui/facilitydialog.h"
#include "ui/optionsdialog.h"
#include "ui/readmissiondialog.h"
#include "ui/snapshotdeletedialog.h"

using namespace velto;

namespace {
using test::child;
using test::currentRowOf;
using test::rowIndex;
using test::rowsOf;

// Runs `act` on the modal window that the next step opens.
void onNextModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
}

void touch(const QString &path, const QByteArray &data = "x")
{
    QString error;
    QVERIFY2(textfile::writeAtomic(path, data, &error), qPrintable(error));
}

// A disk that takes no byte more: every file write of this process fails
// while it lives.
struct DiskRefusesWrites {
    rlimit old {};
    DiskRefusesWrites()
    {
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &old);
        rlimit none = old;
        none.rlim_cur = 0;
        ::setrlimit(RLIMIT_FSIZE, &none);
    }
    ~DiskRefusesWrites() { ::setrlimit(RLIMIT_FSIZE, &old); }
};

using test::Sato;
using test::Suzuki;
} // namespace

class TestSideWindows : public QObject {
    Q_OBJECT
private slots:
    void facilityFormLockedUntilSaved()
    {
        test::TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        FacilityDialog w(t.ctx, true);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("施設情報設定"));
        QVERIFY(!child<QPushButton>(&w, "cmdCancel")->isEnabled());
        QVERIFY(child<QPushButton>(&w, "cmdOK")->isDefault());
        QCOMPARE(child<QLineEdit>(&w, "txtShisetu")->maxLength(), 42);
        QCOMPARE(child<QLineEdit>(&w, "txtZip2")->maxLength(), 4);
        QVERIFY(child<QLineEdit>(&w, "txtZip3")->testAttribute(Qt::WA_InputMethodEnabled));
        QVERIFY(!child<QLineEdit>(&w, "txtTel")->testAttribute(Qt::WA_InputMethodEnabled));

        // Tab order: the nine boxes in key order, then OK, then Cancel.
        QStringList chain;
        QWidget *x = child<QLineEdit>(&w, "txtShisetu");
        for (int i = 0; i < 11; ++i, x = x->nextInFocusChain()) {
            while (!x->objectName().startsWith("txt") && !x->objectName().startsWith("cmd"))
                x = x->nextInFocusChain();
            chain << x->objectName();
        }
        QCOMPARE(chain, (QStringList {"txtShisetu", "txtKaName", "txtZip1", "txtZip2", "txtZip3", "txtZip4", "txtTel",
                                      "txtFax", "txtMail", "cmdOK", "cmdCancel"}));

        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());

        child<QLineEdit>(&w, "txtShisetu")->setText(QStringLiteral("中央病院"));
        child<QLineEdit>(&w, "txtKaName")->setText(QStringLiteral("内科"));
        child<QLineEdit>(&w, "txtZip1")->setText("12");
        child<QLineEdit>(&w, "txtZip2")->setText("3456");
        child<QLineEdit>(&w, "txtZip4")->setText(QStringLiteral(" 東京都 "));
        child<QLineEdit>(&w, "txtTel")->setText("03-1234");
        child<QPushButton>(&w, "cmdOK")->click();
        QVERIFY(w.isVisible());
        QCOMPARE(t.prompter.texts(), QStringList {QStringLiteral("入力数が足りません")});
        QCOMPARE(w.focusWidget(), child<QLineEdit>(&w, "txtZip1"));
        QCOMPARE(child<QLineEdit>(&w, "txtZip3")->text(), QStringLiteral(" 東京都 "));

        child<QLineEdit>(&w, "txtZip1")->setText("123");
        child<QPushButton>(&w, "cmdOK")->click();
        QVERIFY(!w.isVisible());
        QVERIFY(w.saved());
        QCOMPARE(w.result(), int(QDialog::Accepted));
        QStringList lines;
        QString error;
        QVERIFY(textfile::readLines(test::facilityFile(t.ctx.appDir), &lines, &error));
        QCOMPARE(lines.value(4), QStringLiteral("005: 東京都 "));
    }

    // A restricted account cannot save, so a locked form would hold it forever.
    void facilityFormRestrictedMayLeave()
    {
        test::TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Restricted;
        FacilityDialog w(t.ctx, true);
        w.show();
        QVERIFY(!child<QPushButton>(&w, "cmdOK")->isEnabled());
        QVERIFY(child<QPushButton>(&w, "cmdCancel")->isEnabled());
        QTest::keyClick(&w, Qt::Key_Escape);
        QVERIFY(!w.isVisible());
        QVERIFY(!w.saved());
    }

    // A disk that refuses the facility file must not trap the user in the
    // first-start form: after the failed save any way out ends the program,
    // and nothing is written.
    void firstStartFormLeavableAfterFailedSave_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("Cancel") << "cancel";
        QTest::newRow("Escape") << "escape";
        QTest::newRow("close box") << "close";
    }
    void firstStartFormLeavableAfterFailedSave()
    {
        QFETCH(QString, way);
        test::TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        const QStringList before = QDir(t.path("DB")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);

        bool checked = false;
        onNextModal([&](QWidget *top) {
            auto *w = qobject_cast<FacilityDialog *>(top);
            QVERIFY(w);
            // A trapped form is ended from outside, so the test fails, not hangs.
            QTimer::singleShot(3000, w, [w] { w->done(QDialog::Rejected); });
            const QList<std::pair<const char *, QString>> typed {{"txtShisetu", QStringLiteral("中央病院")},
                                                                 {"txtKaName", QStringLiteral("内科")},
                                                                 {"txtZip1", "123"},
                                                                 {"txtZip2", "4567"},
                                                                 {"txtZip3", QStringLiteral("東京都")},
                                                                 {"txtTel", "03"}};
            for (const auto &[name, text] : typed)
                child<QLineEdit>(w, name)->setText(text);
            {
                DiskRefusesWrites full;
                child<QPushButton>(w, "cmdOK")->click();
            }
            QCOMPARE(t.prompter.asked.size(), 1);
            QVERIFY(t.prompter.asked.first().text.startsWith(QStringLiteral("施設情報を保存できませんでした。")));
            QVERIFY(w->isVisible());
            QVERIFY(!w->endsProgram());
            auto *cancel = child<QPushButton>(w, "cmdCancel");
            QVERIFY(cancel->isEnabled());
            QVERIFY(w->windowHandle()->flags() & Qt::WindowCloseButtonHint);
            checked = true;
            if (way == "cancel")
                cancel->click();
            else if (way == "escape")
                QTest::keyClick(w, Qt::Key_Escape);
            else
                w->close();
        });
        QVERIFY(!runFirstStartFacilityForm(t.ctx));
        QVERIFY(checked);
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(QDir(t.path("DB")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), before);
        QVERIFY(t.settings->journal().isEmpty());
    }

    // The run ends there: no board after a first-start form that was left.
    void leftFirstStartFormEndsRun()
    {
        test::TestContext t;
        t.makeFolders();
        t.ctx.optionValues.midashiOnOff = 1;
        bool boardOpened = false;
        AppHooks hooks;
        hooks.facilityForm = [](AppContext &, bool) { return false; };
        hooks.board = [&](AppContext &) { boardOpened = true; };
        AppFlow(t.ctx, hooks, 0).afterLogin();
        QVERIFY(!boardOpened);
    }

    void optionsPairAndApply()
    {
        test::TestContext t;
        t.settings->setValue("Option", "backup_off_time", "7");
        QVERIFY(t.settings->commit());
        t.ctx.currentAccount.authority = Authority::Full;
        t.ctx.optionValues.backupOnOff = 1;

        OptionsDialog w(t.ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.windowTitle(), QStringLiteral("ｵﾌﾟｼｮﾝ"));
        auto *tabs = child<QTabWidget>(&w, "SSTab1");
        QCOMPARE(tabs->tabText(0), QStringLiteral(" ﾊﾞｯｸｱｯﾌﾟ"));
        QCOMPARE(tabs->tabText(1), QStringLiteral(" 見出し"));
        auto *on = child<QCheckBox>(&w, "chkBackOn");
        auto *off = child<QCheckBox>(&w, "chkBackOff");
        QVERIFY(on->isChecked() && !off->isChecked());

        on->click(); // unchecking one checks the other
        QVERIFY(!on->isChecked() && off->isChecked());
        off->click();
        QVERIFY(on->isChecked() && !off->isChecked());
        off->click();
        QVERIFY(!on->isChecked() && off->isChecked());
        child<QCheckBox>(&w, "chkMidashi")->click();

        child<QPushButton>(&w, "cmdApply")->click();
        QVERIFY(w.isVisible());
        QCOMPARE(t.ctx.optionValues.backupOnOff, 0); // acts at once
        QCOMPARE(t.ctx.optionValues.midashiOnOff, 1);
        QCOMPARE(t.settings->journal().mid(t.settings->journal().size() - 3),
                 (QStringList {"Option/backup_on_off", "Option/backup_off_time", "Option/midashi_on_off"}));
        t.settings->reload();
        QCOMPARE(t.settings->value("Option", "backup_on_off"), QStringLiteral("0"));
        QCOMPARE(t.settings->value("Option", "backup_off_time"), QStringLiteral("7"));
        QCOMPARE(t.settings->value("Option", "midashi_on_off"), QStringLiteral("1"));

        // Cancel after a change stores nothing.
        on->click();
        child<QPushButton>(&w, "cmdCancel")->click();
        QVERIFY(!w.isVisible());
        t.settings->reload();
        QCOMPARE(t.settings->value("Option", "backup_on_off"), QStringLiteral("0"));
        QCOMPARE(t.ctx.optionValues.backupOnOff, 0);

        t.ctx.currentAccount.authority = Authority::Restricted;
        OptionsDialog r(t.ctx);
        r.show();
        QVERIFY(!child<QPushButton>(&r, "cmdOK")->isEnabled());
        QVERIFY(!child<QPushButton>(&r, "cmdApply")->isEnabled());
    }

    void backDelDeletesMarked()
    {
        test::TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        t.ctx.todayEraDate = QStringLiteral("令和08年12月10日");
        const QStringList days {"令和08年12月08日", "令和08年12月09日", "令和08年12月10日"};
        for (const QString &d : days) {
            QDir(t.path("BackUp")).mkpath(d);
            touch(t.path("BackUp/" + d + "/ROOM.WBD"));
        }
        t.prompter.answers = {false, true};

        QStringList seen;
        onNextModal([&](QWidget *dlg) {
            seen << dlg->windowTitle();
            auto *list = child<QListView>(dlg, "List1");
            seen << rowsOf(list);
            list->selectionModel()->select(rowIndex(list, 0), QItemSelectionModel::Select);
            list->selectionModel()->select(rowIndex(list, 2), QItemSelectionModel::Select);
            // Escape asks to delete everything; No keeps the window and marks.
            QTest::keyClick(dlg, Qt::Key_Escape);
            seen << QString::number(dlg->isVisible()) << QString::number(list->selectionModel()->selectedRows().size());
            child<QPushButton>(dlg, "Command1")->click();
        });
        const QStringList dates = runBackupDelete(t.ctx, nullptr);

        QCOMPARE(seen, (QStringList {QStringLiteral("バックアップデータ削除")} + days + QStringList {"1", "2"}));
        QCOMPARE(t.prompter.texts(),
                 (QStringList {QStringLiteral("全てのバックアップデータを削除します。よろしいですか？"),
                               QStringLiteral("バックアップデータを削除します。よろしいですか？")}));
        QCOMPARE(QDir(t.path("BackUp")).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList {days.at(1)});
        QCOMPARE(dates, (QStringList {t.ctx.todayEraDate, days.at(1)}));
    }

    void backupPaintsAndCopies()
    {
        test::TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        touch(t.path("DB/" + Sato));
        touch(t.path("DB/Out/" + Suzuki));
        BackupWindow w(t.ctx, QStringLiteral("バックアップ中・・・"), nullptr, 0);
        QCOMPARE(child<QLabel>(&w, "Lavel")->text(), QStringLiteral("バックアップ中・・・"));
        w.exec();
        QVERIFY(w.succeeded());
        const QString day = t.path("BackUp/" + getWaDate(t.ctx, "20261210"));
        QVERIFY(QFile::exists(day + "/" + Sato));
        QVERIFY(!QFile::exists(day + "/" + Suzuki));
    }

    // A copy that cannot be made: the window still closes, the error report
    // names the window, and the copies made stay.
    void failedBackupReportsAndCloses()
    {
        test::TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        touch(t.path("DB/A.WBD"));
        touch(t.path("DB/" + Sato), "record");
        const QString day = t.path("BackUp/" + getWaDate(t.ctx, "20261210"));
        QVERIFY(QDir().mkpath(day + "/" + Sato)); // a folder holds the copy's name
        BackupWindow w(t.ctx, QStringLiteral("自動バックアップ中・・・"), nullptr, 0);
        w.exec();
        QVERIFY(!w.succeeded());
        QVERIFY(!w.isVisible());
        QVERIFY(QFile::exists(day + "/A.WBD"));
        QVERIFY(!t.prompter.asked.isEmpty());
        QCOMPARE(t.prompter.asked.last().kind, DialogKind::Error);
        QFile log(t.path("log/error.log"));
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains("[FUNC] frmBackUp.Form_Activate()"));
        QFile record(t.path("DB/" + Sato));
        QVERIFY(record.open(QIODevice::ReadOnly));
        QCOMPARE(record.readAll(), QByteArray("record"));
    }

    void readmitChooser()
    {
        test::TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        BoardModel model;

        QVERIFY(!runReadmit(t.ctx, model, 3, nullptr)); // nothing kept: told so, no window
        QCOMPARE(t.prompter.texts(), QStringList {QStringLiteral("退院者情報はありません。")});

        touch(t.path("DB/Out/" + Suzuki));
        touch(t.path("DB/Out/" + Sato));
        t.prompter.clear();
        QStringList seen;
        onNextModal([&](QWidget *dlg) {
            auto *list = child<QListView>(dlg, "File1");
            seen << dlg->windowTitle() << rowsOf(list);
            seen << QString::number(child<QPushButton>(dlg, "Command1")->isEnabled());
            const QRect second = list->visualRect(rowIndex(list, 1));
            // A double click as the mouse sends it: a click, then the second press.
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, second.center());
            QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, second.center());
        });
        QVERIFY(runReadmit(t.ctx, model, 3, nullptr));
        QCOMPARE(seen, (QStringList {QStringLiteral("再入院選択"), Sato, Suzuki, "1"}));
        QCOMPARE(model.bedEntry(3), Suzuki);
        QVERIFY(QFile::exists(t.path("DB/" + Suzuki)));

        // Restricted: the chooser can be looked at only.
        t.ctx.currentAccount.authority = Authority::Restricted;
        ReadmissionDialog w(t.ctx, model, 3);
        QVERIFY(!child<QPushButton>(&w, "Command1")->isEnabled());
    }

    // Hundreds of entries: each list shows them all in order, the keyboard
    // and the mouse reach the far end, and the row chosen there is the one
    // acted on.
    void longListsShowAndSelect()
    {
        test::TestContext t;
        t.makeFolders();
        t.ctx.currentAccount.authority = Authority::Full;
        t.ctx.todayEraDate = QStringLiteral("令和08年12月10日");
        QStringList days;
        const QDate last(2026, 12, 9);
        for (int i = 499; i >= 0; --i)
            days << getWaDate(t.ctx, last.addDays(-i).toString(QStringLiteral("yyyyMMdd")));
        for (const QString &d : days)
            QVERIFY(QDir(t.path("BackUp")).mkpath(d));
        t.prompter.answers = {true};

        QStringList listed;
        QString picked;
        onNextModal([&](QWidget *dlg) {
            auto *list = child<QListView>(dlg, "List1");
            listed = rowsOf(list);
            list->setFocus();
            list->selectionModel()->setCurrentIndex(rowIndex(list, 0), QItemSelectionModel::NoUpdate);
            QTest::keyClick(list, Qt::Key_End);
            const QModelIndex end = list->currentIndex();
            QVERIFY(end.isValid());
            const QRect r = list->visualRect(end);
            QVERIFY(list->viewport()->rect().contains(r.center()));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
            picked = end.data().toString();
            QCOMPARE(list->selectionModel()->selectedRows().size(), 1);
            child<QPushButton>(dlg, "Command1")->click();
        });
        runBackupDelete(t.ctx, nullptr);
        QCOMPARE(listed, days);
        QCOMPARE(picked, days.last());
        const QStringList left = QDir(t.path("BackUp")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        QCOMPARE(left.size(), 499);
        QVERIFY(!left.contains(days.last()));

        QStringList kept;
        for (int i = 0; i < 300; ++i)
            kept << QStringLiteral("患者%1_名_昭和10年5月3日").arg(i, 3, 10, QLatin1Char('0'));
        for (const QString &k : kept)
            touch(t.path("DB/Out/" + k));
        BoardModel model;
        QString first, chosen;
        onNextModal([&](QWidget *dlg) {
            auto *list = child<QListView>(dlg, "File1");
            first = currentRowOf(list);
            QCOMPARE(rowsOf(list), kept);
            list->setFocus();
            QTest::keyClick(list, Qt::Key_End);
            QTest::keyClick(list, Qt::Key_Up);
            chosen = currentRowOf(list);
            child<QPushButton>(dlg, "Command1")->click();
        });
        QVERIFY(runReadmit(t.ctx, model, 3, nullptr));
        QCOMPARE(first, kept.first());
        QCOMPARE(chosen, kept.at(298));
        QCOMPARE(model.bedEntry(3), kept.at(298));
    }
};

QTEST_MAIN(TestSideWindows)
#include "tst_sidewindows.moc"
