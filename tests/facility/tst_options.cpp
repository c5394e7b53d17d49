#include <QtTest>

#include "core/errorlog.h"
#include "facility/options.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {

void storeOptions(TestContext &t, const QString &on, const QString &offTime, const QString &midashi)
{
    t.settings->setValue("Option", "backup_on_off", on);
    if (!offTime.isNull())
        t.settings->setValue("Option", "backup_off_time", offTime);
    t.settings->setValue("Option", "midashi_on_off", midashi);
    QVERIFY(t.settings->commit());
}

} // namespace

class TstOptions : public QObject {
    Q_OBJECT

private slots:
    void activationShowsRunValues_data()
    {
        QTest::addColumn<int>("backupOnOff");
        QTest::addColumn<int>("midashiOnOff");
        QTest::addColumn<int>("authority");
        QTest::newRow("on, title shown, full") << 1 << 0 << 2;
        QTest::newRow("off, title skipped, full") << 0 << 1 << 2;
        QTest::newRow("restricted") << 1 << 1 << 1;
    }

    void activationShowsRunValues()
    {
        QFETCH(int, backupOnOff);
        QFETCH(int, midashiOnOff);
        QFETCH(int, authority);
        TestContext t;
        storeOptions(t, "0", "0042", "0"); // the boxes follow the run's values, not these
        t.ctx.optionValues = {backupOnOff, 2, midashiOnOff};
        t.ctx.currentAccount.authority = static_cast<Authority>(authority);

        const OptionsForm f = optionsActivate(t.ctx);
        QCOMPARE(f.backOn, backupOnOff == 1);
        QCOMPARE(f.backOff, backupOnOff != 1);
        QCOMPARE(f.midashi, midashiOnOff == 1);
        QCOMPARE(f.backupOffTime, QStringLiteral("0042"));
        QCOMPARE(t.ctx.optionValues.backupOffTime, 42);
        QCOMPARE(f.canApply, authority != 1);
        QVERIFY(t.prompter.asked.isEmpty());
    }

    void applyStoresAndActsAtOnce()
    {
        TestContext t;
        storeOptions(t, "1", "0042", "0");
        t.ctx.optionValues = {1, 2, 0};
        t.ctx.currentAccount.authority = Authority::Full;

        OptionsForm f = optionsActivate(t.ctx);
        f.clickBackOn(false); // unchecking one checks the other
        QVERIFY(f.backOff);
        f.midashi = true;
        QVERIFY(optionsApply(t.ctx, f));
        QCOMPARE(t.ctx.optionValues.backupOnOff, 0);
        QCOMPARE(t.ctx.optionValues.midashiOnOff, 1);

        SettingsStore reread(t.settings->filePath());
        QCOMPARE(reread.value("Option", "backup_on_off"), QStringLiteral("0"));
        QCOMPARE(reread.value("Option", "backup_off_time"), QStringLiteral("0042"));
        QCOMPARE(reread.value("Option", "midashi_on_off"), QStringLiteral("1"));
        QVERIFY(!reread.contains("Display", "hide_names")); // never written while off
    }

    // Names hidden is this screen's own preference, in [Display], read back
    // when the dialog opens again.
    void hideNamesIsThisScreens()
    {
        TestContext t;
        storeOptions(t, "1", "0042", "0");
        t.ctx.optionValues = {1, 42, 0};
        t.ctx.currentAccount.authority = Authority::Full;
        OptionsForm f = optionsActivate(t.ctx);
        QVERIFY(!f.hideNames);
        f.hideNames = true;
        QVERIFY(optionsApply(t.ctx, f));
        QCOMPARE(SettingsStore(t.settings->filePath()).value("Display", "hide_names"), QStringLiteral("1"));
        QVERIFY(optionsActivate(t.ctx).hideNames);
        f.hideNames = false;
        QVERIFY(optionsApply(t.ctx, f));
        QCOMPARE(SettingsStore(t.settings->filePath()).value("Display", "hide_names"), QStringLiteral("0"));
    }

    void unreadableOffTimeIsReportedRightsStillSet()
    {
        TestContext t;
        storeOptions(t, "1", "abc", "0");
        t.ctx.optionValues = {1, 2, 0};
        t.ctx.currentAccount.authority = Authority::Restricted;
        t.makeFolders();

        const OptionsForm f = optionsActivate(t.ctx);
        QCOMPARE(t.prompter.texts(), QStringList {unexpectedErrorText()});
        QVERIFY(f.backOn);
        QVERIFY(!f.canApply);
        QVERIFY(!optionsApply(t.ctx, f));
        QCOMPARE(t.settings->value("Option", "backup_off_time"), QStringLiteral("abc"));
    }

    void failedCommitChangesNothing()
    {
        TestContext t;
        t.ctx.optionValues = {1, 2, 0};
        t.ctx.currentAccount.authority = Authority::Full;
        // A settings file below a plain file cannot be written.
        QFile blocker(t.dir.filePath("blocker"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        SettingsStore broken(t.dir.filePath("blocker/Quolmar.ini"));
        t.ctx.settings = &broken;

        OptionsForm f;
        f.backOn = false;
        f.backOff = true;
        f.midashi = true;
        f.backupOffTime = QStringLiteral("2");
        f.canApply = true;
        QVERIFY(!optionsApply(t.ctx, f));
        QCOMPARE(t.ctx.optionValues.backupOnOff, 1);
        QCOMPARE(t.ctx.optionValues.midashiOnOff, 0);
        QCOMPARE(t.prompter.asked.size(), 1);
        QCOMPARE(t.prompter.asked.first().kind, DialogKind::Error);
        QVERIFY(broken.value("Option", "backup_on_off").isEmpty());
    }
};

QTEST_GUILESS_MAIN(TstOptions)
#include "tst_options.moc"
