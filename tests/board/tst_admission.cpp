#include <QFile>
#include <QtTest>

#include "board/admission.h"
#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "core/textfile.h"
#include "support/patients.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {
using test::Sato;
using test::Suzuki;
const int Bed = 17;

// One letter per dialog: W WarnYesNo, D WarnYesNoDefNo, C ConfirmYesNo,
// E ErrorMsg, I InfoMsg.
QString kinds(const test::ScriptedPrompter &p)
{
    QString s;
    for (const auto &a : p.asked) {
        switch (a.kind) {
        case DialogKind::WarnYesNo:
            s += 'W';
            break;
        case DialogKind::WarnYesNoDefNo:
            s += 'D';
            break;
        case DialogKind::ConfirmYesNo:
            s += 'C';
            break;
        case DialogKind::Error:
            s += 'E';
            break;
        case DialogKind::Info:
            s += 'I';
            break;
        case DialogKind::Warn:
            s += 'M';
            break;
        }
    }
    return s;
}

QList<bool> script(const QString &yn)
{
    QList<bool> l;
    for (const QChar c : yn)
        l << (c == 'Y');
    return l;
}
} // namespace

class TestAdmission : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> tc;
    BoardModel *model = nullptr;

    void write(const QString &rel, const QByteArray &data)
    {
        QString error;
        QVERIFY2(textfile::writeAtomic(tc->path(rel), data, &error), qPrintable(error));
    }
    QByteArray read(const QString &rel) const
    {
        QFile f(tc->path(rel));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<none>");
    }
    // The bed's line in the saved layout, or "<none>" before any save.
    QString savedEntry(int bed) const
    {
        QStringList lines;
        QString error;
        if (!textfile::readLines(tc->path("DB/" + layoutfile::Beds), &lines, &error))
            return QStringLiteral("<none>");
        return lines.value(bed);
    }

private slots:
    void init()
    {
        tc = std::make_unique<TestContext>();
        tc->makeFolders();
        tc->ctx.currentAccount.authority = Authority::Full;
        delete model;
        model = new BoardModel;
    }
    void cleanupTestCase() { delete model; }

    void discharge_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<bool>("recordInDb");
        QTest::addColumn<QByteArray>("keptBefore");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("dialogs");
        QTest::addColumn<QByteArray>("dbAfter");
        QTest::addColumn<QByteArray>("outAfter");
        QTest::addColumn<QString>("bedAfter");
        QTest::addColumn<QString>("savedAfter");

        const QByteArray none("<none>"), rec("record"), old("older");
        QTest::newRow("keep") << 2 << true << none << "YN"
                              << "WD" << none << rec << ""
                              << "";
        QTest::newRow("erase") << 2 << true << none << "YY"
                               << "WD" << none << none << ""
                               << "";
        QTest::newRow("no to the discharge") << 2 << true << none << "N"
                                             << "W" << rec << none << Sato << "<none>";
        QTest::newRow("keep replaces an older kept record on consent") << 2 << true << old << "YNY"
                                                                       << "WDD" << none << rec << ""
                                                                       << "";
        QTest::newRow("keep refused over an older kept record") << 2 << true << old << "YNN"
                                                                << "WDD" << rec << old << Sato << "<none>";
        QTest::newRow("keep without a record file") << 2 << false << none << "YN"
                                                    << "WDE" << none << none << Sato << "<none>";
        QTest::newRow("erase without a record file frees the bed") << 2 << false << none << "YY"
                                                                   << "WD" << none << none << ""
                                                                   << "";
        QTest::newRow("restricted") << 1 << true << none << ""
                                    << "" << rec << none << Sato << "<none>";
    }
    void discharge()
    {
        QFETCH(int, authority);
        QFETCH(bool, recordInDb);
        QFETCH(QByteArray, keptBefore);
        QFETCH(QString, answers);
        QFETCH(QString, dialogs);
        QFETCH(QByteArray, dbAfter);
        QFETCH(QByteArray, outAfter);
        QFETCH(QString, bedAfter);
        QFETCH(QString, savedAfter);

        tc->ctx.currentAccount.authority = static_cast<Authority>(authority);
        model->setBedEntry(Bed, Sato);
        if (recordInDb)
            write("DB/" + Sato, "record");
        if (keptBefore != "<none>")
            write("DB/Out/" + Sato, keptBefore);
        tc->prompter.answers = script(answers);

        dischargePatient(tc->ctx, *model, Bed);

        QCOMPARE(kinds(tc->prompter), dialogs);
        QCOMPARE(read("DB/" + Sato), dbAfter);
        QCOMPARE(read("DB/Out/" + Sato), outAfter);
        QCOMPARE(model->bedEntry(Bed), bedAfter);
        QCOMPARE(savedEntry(Bed), savedAfter);
        if (!dialogs.isEmpty()) {
            QCOMPARE(tc->prompter.asked.at(0).text, QStringLiteral("佐藤さんを退院させます。\rよろしいですか？"));
        }
        if (dialogs.size() > 1) {
            QCOMPARE(
                tc->prompter.asked.at(1).text,
                QStringLiteral("データを完全に消去しますか？\rデータを残したい場合は、[いいえ]を押してください。"));
        }
    }

    void dischargeKeptIsOfferedForReadmission()
    {
        model->setBedEntry(Bed, Sato);
        write("DB/" + Sato, "record");
        write("DB/Out/" + Suzuki, "other");
        tc->prompter.answers = script("YN");
        QVERIFY(dischargePatient(tc->ctx, *model, Bed));
        QCOMPARE(keptRecords(tc->ctx), (QStringList {Sato, Suzuki}));
    }

    // A kept copy that cannot be placed in "DB/Out" (a folder holds its
    // name): the record stays in "DB" and the patient in the bed.
    void failedKeepCopyLeavesTheRecord()
    {
        model->setBedEntry(Bed, Sato);
        write("DB/" + Sato, "record");
        QVERIFY(QDir().mkpath(tc->path("DB/Out/" + Sato + "/inner")));
        tc->prompter.answers = script("YNY");
        QVERIFY(!dischargePatient(tc->ctx, *model, Bed));
        QCOMPARE(kinds(tc->prompter), QStringLiteral("WDDE"));
        QCOMPARE(read("DB/" + Sato), QByteArray("record"));
        QVERIFY(QFileInfo(tc->path("DB/Out/" + Sato + "/inner")).isDir());
        QCOMPARE(model->bedEntry(Bed), Sato);
        QCOMPARE(savedEntry(Bed), QStringLiteral("<none>"));
        QVERIFY(read("log/error.log").contains("frmMOUSE_MENU.Taiin_Click()"));
    }

    // A layout that cannot be written must not leave the saved board naming
    // a record that has moved.
    void failedLayoutSaveTakesTheMoveBack()
    {
        model->setBedEntry(Bed, Sato);
        model->setRoomNumber(0, QStringLiteral("\U0001F600")); // outside the code page
        write("DB/" + Sato, "record");
        tc->prompter.answers = script("YN");
        QVERIFY(!dischargePatient(tc->ctx, *model, Bed));
        QCOMPARE(read("DB/" + Sato), QByteArray("record"));
        QVERIFY(!QFile::exists(tc->path("DB/Out/" + Sato)));
        QCOMPARE(model->bedEntry(Bed), Sato);
        QCOMPARE(kinds(tc->prompter), QStringLiteral("WDE"));

        write("DB/Out/" + Suzuki, "kept");
        tc->prompter.clear();
        QCOMPARE(readmitClick(tc->ctx, *model, Bed + 1, Suzuki).readmitted, false);
        QCOMPARE(read("DB/Out/" + Suzuki), QByteArray("kept"));
        QVERIFY(!QFile::exists(tc->path("DB/" + Suzuki)));
        QVERIFY(model->bedEntry(Bed + 1).isEmpty());
    }

    void erase_data()
    {
        QTest::addColumn<bool>("recordInDb");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("bedAfter");
        QTest::addColumn<QString>("savedAfter");
        QTest::newRow("erased") << true << "Y"
                                << ""
                                << "";
        QTest::newRow("no") << true << "N" << Sato << "<none>";
        // The data is already gone: the bed is freed and the layout saved.
        QTest::newRow("no record file") << false << "Y"
                                        << ""
                                        << "";
    }
    void erase()
    {
        QFETCH(bool, recordInDb);
        QFETCH(QString, answers);
        QFETCH(QString, bedAfter);
        QFETCH(QString, savedAfter);
        model->setBedEntry(Bed, Sato);
        if (recordInDb)
            write("DB/" + Sato, "record");
        tc->prompter.answers = script(answers);

        erasePatient(tc->ctx, *model, Bed);

        QCOMPARE(kinds(tc->prompter), QStringLiteral("W"));
        QCOMPARE(tc->prompter.asked.at(0).text,
                 QStringLiteral("佐藤さんのデータを完全に消去します。\rよろしいですか？"));
        QCOMPARE(model->bedEntry(Bed), bedAfter);
        QCOMPARE(savedEntry(Bed), savedAfter);
        QCOMPARE(QFile::exists(tc->path("DB/" + Sato)), recordInDb && answers == "N");
        QVERIFY(!QFile::exists(tc->path("DB/Out/" + Sato)));

        // Reloading today's layout does not bring an erased patient back.
        BoardModel reloaded;
        QVERIFY(loadWardLayout(tc->ctx, reloaded, QString()));
        if (savedAfter != "<none>")
            QCOMPARE(reloaded.bedEntry(Bed), bedAfter);
    }

    void eraseNeedsRightsAndToday()
    {
        model->setBedEntry(Bed, Sato);
        write("DB/" + Sato, "record");
        tc->ctx.displayDateIndex = 1; // a snapshot's bed names no record of today
        QVERIFY(!erasePatient(tc->ctx, *model, Bed));
        QVERIFY(!dischargePatient(tc->ctx, *model, Bed));
        tc->ctx.displayDateIndex = 0;
        tc->ctx.currentAccount.authority = Authority::Restricted;
        QVERIFY(!erasePatient(tc->ctx, *model, Bed));
        QVERIFY(tc->prompter.asked.isEmpty());
        QVERIFY(QFile::exists(tc->path("DB/" + Sato)));
    }

    void readmit_data()
    {
        QTest::addColumn<int>("authority");
        QTest::addColumn<QString>("bedBefore");
        QTest::addColumn<bool>("sameInDb");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("answers");
        QTest::addColumn<QString>("dialogs");
        QTest::addColumn<bool>("readmitted");
        QTest::addColumn<bool>("closes");

        QTest::newRow("readmitted") << 2 << "" << false << Sato << "Y"
                                    << "C" << true << true;
        QTest::newRow("no keeps the chooser open") << 2 << "" << false << Sato << "N"
                                                   << "C" << false << false;
        // Refused before the question: a Yes that could only be refused
        // would be no choice.
        QTest::newRow("same key already in DB") << 2 << "" << true << Sato << ""
                                                << "E" << false << false;
        QTest::newRow("no selection") << 2 << "" << false << ""
                                      << ""
                                      << "E" << false << false;
        QTest::newRow("name without _") << 2 << "" << false << "abc"
                                        << ""
                                        << "E" << false << false;
        QTest::newRow("restricted") << 1 << "" << false << Sato << ""
                                    << "" << false << false;
        QTest::newRow("occupied bed") << 2 << Suzuki << false << Sato << ""
                                      << "" << false << true;
    }
    void readmit()
    {
        QFETCH(int, authority);
        QFETCH(QString, bedBefore);
        QFETCH(bool, sameInDb);
        QFETCH(QString, name);
        QFETCH(QString, answers);
        QFETCH(QString, dialogs);
        QFETCH(bool, readmitted);
        QFETCH(bool, closes);

        tc->ctx.currentAccount.authority = static_cast<Authority>(authority);
        model->setBedEntry(Bed, bedBefore);
        write("DB/Out/" + Sato, "kept");
        if (sameInDb)
            write("DB/" + Sato, "current");
        tc->prompter.answers = script(answers);

        const ReadmitResult r = readmitClick(tc->ctx, *model, Bed, name);

        QCOMPARE(kinds(tc->prompter), dialogs);
        QCOMPARE(r.readmitted, readmitted);
        QCOMPARE(r.closeChooser, closes);
        if (dialogs.startsWith('C'))
            QCOMPARE(tc->prompter.asked.at(0).text, QStringLiteral("佐藤さんを再入院させます。\rよろしいですか？"));
        if (readmitted) {
            QCOMPARE(read("DB/" + Sato), QByteArray("kept"));
            QVERIFY(!QFile::exists(tc->path("DB/Out/" + Sato)));
            QCOMPARE(model->bedCaption(Bed), QStringLiteral("佐藤"));
            QCOMPARE(model->bedEntry(Bed), Sato);
            QCOMPARE(savedEntry(Bed), Sato);
        } else {
            QCOMPARE(read("DB/Out/" + Sato), QByteArray("kept"));
            QCOMPARE(read("DB/" + Sato), sameInDb ? QByteArray("current") : QByteArray("<none>"));
            QCOMPARE(model->bedEntry(Bed), bedBefore);
        }
    }

    void readmitOpensChooserOnlyForAFreeBed()
    {
        int opened = 0;
        auto chooser = [&] {
            ++opened;
            return true;
        };
        QVERIFY(openReadmission(tc->ctx, *model, Bed, chooser));
        model->setBedEntry(Bed, Suzuki);
        QVERIFY(!openReadmission(tc->ctx, *model, Bed, chooser));
        model->clearBed(Bed);
        tc->ctx.currentAccount.authority = Authority::Restricted;
        QVERIFY(!openReadmission(tc->ctx, *model, Bed, chooser));
        QCOMPARE(opened, 1);
    }

    void keptListing()
    {
        KeptListing l = activateKeptList(tc->ctx);
        QVERIFY(l.close);
        QCOMPARE(tc->prompter.texts(), QStringList {QStringLiteral("退院者情報はありません。")});

        write("DB/Out/" + Suzuki, "b");
        write("DB/Out/" + Sato, "a");
        QDir(tc->path("DB/Out")).mkdir("sub");
        tc->prompter.clear();
        l = activateKeptList(tc->ctx);
        QVERIFY(!l.close);
        QCOMPARE(l.names, (QStringList {Sato, Suzuki}));
        QVERIFY(tc->prompter.asked.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAdmission)
#include "tst_admission.moc"
