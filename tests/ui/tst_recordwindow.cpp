#include <QComboBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QtTest>
#include <atomic>
#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "core/textfile.h"
#include "print/paintercanvas.h"
#include "record/recordfields.h"
#include "record/recordfile.h"
#include "staff/sharedwardsettings.h"
#include "support/files.h"
#include "support/fixtures.h"
#include "support/patients.h"
#include "support/recordpages.h"
#include "support/testcontext.h"
#include "support/widgets.h"
#include "ui/patientrecorddialog.h"

using namespace velto;
using velto::test::TestContext;

namespace {

const QString &kKey = test::Sato;
const QString kSnapshot = QStringLiteral("令和08年12月09日");

struct Fixture : TestContext {
    Fixture()
    {
        makeFolders();
        ctx.currentAccount = {QStringLiteral("nurse1"), Authority::Full, QStringLiteral("山田"), QStringLiteral("pw")};
    }
};

PatientRecord storedPatient()
{
    PatientRecord r = test::patientRecord();
    r.setValue("000", QStringLiteral("A-1"));
    r.setValue("058", QStringLiteral("結核")); // typed, not a list item
    r.setValue("A10", QStringLiteral("最終行"));
    return r;
}

// A value of its own in every field, several longer than their field takes.
PatientRecord everyFieldFilled()
{
    PatientRecord r = storedPatient();
    const QStringList named {"003", "004", "005", "006", "007", "008", "009", "010", "400"};
    for (const RecordField &f : recordFields())
        if (f.hasControl() && !named.contains(f.key))
            r.setValue(f.key, f.key + QStringLiteral("の値"));
    return r;
}

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

using test::child;
using test::fieldOnItsTab;
using test::showTabOf;

// Typing as the user does, one character at a time (QTest only types ASCII).
void type(QWidget *target, const QString &s)
{
    for (const QChar c : s) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(target, &release);
    }
}

using test::readBytes;

QString text(QWidget &w, const QString &name)
{
    if (auto *e = w.findChild<QLineEdit *>(name); e && !e->parent()->inherits("QComboBox"))
        return e->text();
    if (auto *c = w.findChild<QComboBox *>(name))
        return c->currentText();
    return QStringLiteral("<missing>");
}

} // namespace

class TstRecordWindow : public QObject {
    Q_OBJECT

private slots:
    void tabsInThreeRowsOfSeven()
    {
        Fixture fx;
        PatientRecordDialog w(fx.ctx, RecordHost {});
        QCOMPARE(w.windowTitle(), QStringLiteral("患者情報"));
        const QStringList captions {
            " 個人情報",  " 診断名",   " 既往歴  ",   " 内服薬",         "　最終ﾊﾞｲﾀﾙｻｲﾝ", "　感染症",  " ｱﾚﾙｷﾞｰ",
            "　障　害　", "　麻　痺",  " 装具・器具", " 現在までの経過", " ｷｰﾊﾟｰｿﾝ",       "　問題点",  " その他",
            " 食事状態",  " 排泄状態", " 清潔状態",   " 移動・移乗",     " ｺﾐｭﾆｹｰｼｮﾝ",     " 創部管理", " 呼吸管理"};
        QWidget *tabs = child<QWidget>(w, "SSTab1");
        QVERIFY(tabs);
        for (int row = 0; row < 3; ++row) {
            QWidget *r = child<QWidget>(*tabs, QStringLiteral("SSTab1_row_%1").arg(row));
            QVERIFY(r);
            const auto buttons = r->findChildren<QPushButton *>();
            QCOMPARE(buttons.size(), 7);
            for (int col = 0; col < 7; ++col) {
                auto *b = child<QPushButton>(*r, QStringLiteral("SSTab1_tab_%1").arg(row * 7 + col));
                QVERIFY(b);
                QCOMPARE(b->text(), captions[row * 7 + col]);
            }
        }
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto rowY = [&](int row) { return child<QWidget>(w, QStringLiteral("SSTab1_row_%1").arg(row))->y(); };
        // The chosen tab's row stands next to the page, all 21 visible at once.
        QVERIFY(rowY(2) < rowY(1) && rowY(1) < rowY(0));
        QTest::mouseClick(child<QPushButton>(w, "SSTab1_tab_10"), Qt::LeftButton);
        QCOMPARE(w.currentTab(), 10);
        QTRY_VERIFY(rowY(0) < rowY(2) && rowY(2) < rowY(1));
        QVERIFY(child<QPushButton>(w, "SSTab1_tab_10")->isChecked());
        QVERIFY(!child<QPushButton>(w, "SSTab1_tab_0")->isChecked());
    }

    // Each field, typed into by its objectName as the user types, reaches
    // the saved file's bytes at its own key, cut at the field's limit. Lists
    // offer their items (the birth date's only those); the age list takes
    // no typing and follows the birth date.
    void typedFieldsReachTheirKeys()
    {
        Fixture fx;
        PatientRecordDialog w(fx.ctx, RecordHost {});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));

        QHash<QString, QString> expected; // key -> value in the file
        int n = 0;
        for (const RecordField &f : recordFields()) {
            if (!f.hasControl())
                continue;
            QWidget *field = fieldOnItsTab<QWidget>(w, f.objectName());
            QVERIFY2(field, qPrintable(f.objectName()));
            if (f.inputMode != InputMode::Default)
                QCOMPARE(field->testAttribute(Qt::WA_InputMethodEnabled), f.inputMode == InputMode::Hiragana);
            auto *list = qobject_cast<QComboBox *>(field);
            if (list) {
                QStringList items;
                for (int i = 0; i < list->count(); ++i)
                    items << list->itemText(i);
                QCOMPARE(items, recordListItems(f.control));
                QCOMPARE(list->isEditable(), f.kind != FieldKind::FixedList);
            }
            if (f.kind == FieldKind::PhotoPath) {
                expected.insert(f.key, QString()); // set by the photo dialog only
                continue;
            }
            if (f.kind == FieldKind::FixedList) {
                // Birth year, month and day: 1935-05-03 (Showa 10).
                const int index = f.key == recordkey::Year ? 9 : f.key == recordkey::Month ? 4 : 2;
                list->setCurrentIndex(index);
                expected.insert(f.key, list->itemText(index));
                continue;
            }
            QLineEdit *edit = list ? list->lineEdit() : qobject_cast<QLineEdit *>(field);
            QVERIFY2(edit, qPrintable(f.objectName()));
            if (f.key == recordkey::Era) {
                type(edit, QStringLiteral("昭和"));
                expected.insert(f.key, QStringLiteral("昭和"));
                continue;
            }
            // Two letters no other field gets, then more than the limit allows.
            const QString mark = QString(QChar(u'a' + n / 26)) + QChar(u'a' + n % 26);
            ++n;
            const QString typed = mark + QString(qMax(f.maxLength, 3), QLatin1Char('x'));
            edit->clear();
            type(edit, typed);
            if (f.kind == FieldKind::AgeList)
                QVERIFY(edit->text().isEmpty()); // filled below from the birth date
            else
                expected.insert(f.key, f.maxLength > 0 ? typed.left(f.maxLength) : typed);
        }
        QVERIFY(!child<QComboBox>(w, "cmbNenrei")->isEnabled());
        // Leaving the birth date fills the age.
        QVERIFY(showTabOf(w, "cmbYmd1"));
        child<QComboBox>(w, "cmbYmd1")->setFocus();
        QTRY_VERIFY(child<QComboBox>(w, "cmbYmd1")->hasFocus());
        child<QComboBox>(w, "cmbSeibetu")->setFocus();
        QTRY_COMPARE(text(w, "cmbNenrei"), QStringLiteral("91歳"));
        expected.insert(recordkey::Age, QStringLiteral("91歳"));

        QVERIFY(w.save());
        QCOMPARE(fx.prompter.texts(), QStringList());
        const QString key = expected.value(recordkey::FamilyName) + "_" + expected.value(recordkey::GivenName) + "_"
                            + QStringLiteral("昭和10年5月3日");
        QString content, error;
        QVERIFY2(textfile::decode(readBytes(fx.path("DB/" + key)), &content, &error), qPrintable(error));
        QHash<QString, QString> stored;
        for (const QString &line : content.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
            stored.insert(line.left(3), line.mid(4));
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(
                stored.value(it.key(), QStringLiteral("<none>")) == it.value(),
                qPrintable(it.key() + ": " + stored.value(it.key(), QStringLiteral("<none>")) + " != " + it.value()));
    }

    void buttonsAndTheRedId()
    {
        Fixture fx;
        PatientRecordDialog w(fx.ctx, RecordHost {});
        QCOMPARE(child<QLineEdit>(w, "txtID")->palette().color(QPalette::Text), QColor(Qt::red));
        const QList<QStringList> buttons {
            {"Command1", "OK(&O)", "患者情報を保存し、画面を閉じます"},
            {"Command3", "保存(&S)", "患者情報を保存します"},
            {"endCmd", "ｷｬﾝｾﾙ(&C)", "患者情報を保存せず、画面を閉じます"},
            {"Command2", "印刷(&P)", "患者情報を印刷します（サマリー）"},
            {"HelpCmd", "ﾍﾙﾌﾟ(&H)", "ヘルプを表示します"},
        };
        for (const QStringList &b : buttons) {
            auto *button = child<QPushButton>(w, b[0]);
            QVERIFY(button);
            QCOMPARE(button->text(), b[1]);
            QCOMPARE(button->toolTip(), b[2]);
        }
        QVERIFY(child<QPushButton>(w, "Command3")->isDefault());
    }

    // At its normal size the window shows every page whole: each text box
    // as wide as its limit (the address lines their 35 and 37 characters),
    // and the 27 lines of 問題点 and その他 without scrolling.
    void normalSizeShowsEveryPageWhole()
    {
        Fixture fx;
        PatientRecordDialog w(fx.ctx, RecordHost {});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QSize normal = w.size();
        // Each page is built when first shown: the window must not grow then.
        for (int tab = 0; tab < 21; ++tab) {
            w.selectTab(tab);
            QCoreApplication::processEvents();
            auto *page = w.findChild<QScrollArea *>(QStringLiteral("SSTab1_page_%1").arg(tab));
            QVERIFY(page);
            QVERIFY2(page->verticalScrollBar()->maximum() == 0, qPrintable(QString::number(tab)));
            QVERIFY2(page->horizontalScrollBar()->maximum() == 0, qPrintable(QString::number(tab)));
            for (const RecordField &f : recordFields()) {
                if (f.tab != tab || f.kind != FieldKind::Text || f.inputMode != InputMode::Hiragana || f.maxLength <= 0)
                    continue;
                auto *e = w.findChild<QLineEdit *>(f.objectName());
                QVERIFY2(e, qPrintable(f.objectName()));
                const int needed
                    = e->fontMetrics().horizontalAdvance(QString(std::min(f.maxLength, 60), QChar(0x3042)));
                QVERIFY2(e->width() >= needed, qPrintable(f.objectName()));
            }
        }
        QCOMPARE(w.size(), normal);
        w.selectTab(12);
        QVERIFY(w.findChild<QLineEdit *>("txtMondaiten_26")->isVisible());
    }

    void admitOnFreeBed()
    {
        Fixture fx;
        QStringList saved;
        RecordHost host;
        host.onSaved = [&](const QString &key, const QString &caption) { saved << key << caption; };
        PatientRecordDialog w(fx.ctx, host);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        // A free bed: everything empty, paralysis "なし", the photo button shown.
        QCOMPARE(text(w, "txtNameKanji"), QString());
        QVERIFY(showTabOf(w, "cmbMasui"));
        QCOMPARE(text(w, "cmbMasui"), QStringLiteral("なし"));
        QVERIFY(showTabOf(w, "txtID"));
        QCOMPARE(child<QComboBox>(w, "cmbYmd2")->currentIndex(), -1);
        QVERIFY(child<QPushButton>(w, "Command4")->isVisible());
        QVERIFY(!child<QPushButton>(w, "Command5")->isVisible());
        QCOMPARE(w.statusText(), QString());

        auto *id = child<QLineEdit>(w, "txtID");
        QTest::keyClicks(id, QString(30, QLatin1Char('9')));
        QCOMPARE(id->text().size(), 26);

        type(child<QLineEdit>(w, "txtNameKanji"), QStringLiteral("佐藤"));
        type(child<QLineEdit>(w, "txtNameKanji2"), QStringLiteral("一郎"));
        child<QComboBox>(w, "cmbYmd2")->setCurrentIndex(9);
        child<QComboBox>(w, "cmbYmd3")->setCurrentIndex(4);
        child<QComboBox>(w, "cmbYmd4")->setCurrentIndex(2);
        child<QComboBox>(w, "cmbYmd1")->setFocus();
        QTRY_VERIFY(child<QComboBox>(w, "cmbYmd1")->hasFocus());
        type(child<QComboBox>(w, "cmbYmd1")->lineEdit(), QStringLiteral("昭和"));
        QCOMPARE(text(w, "cmbNenrei"), QString());
        // Leaving the typed era with all four filled gives the age.
        auto *sex = child<QComboBox>(w, "cmbSeibetu");
        sex->setFocus();
        QTRY_COMPARE(text(w, "cmbNenrei"), QStringLiteral("91歳"));
        type(sex->lineEdit(), QStringLiteral("男性"));
        fieldOnItsTab<QComboBox>(w, "cmbKansenAri")->lineEdit()->setText(QStringLiteral("結核"));

        // Enter in a field saves; the window stays open.
        QVERIFY(showTabOf(w, "txtNameKanji"));
        QTest::keyClick(child<QLineEdit>(w, "txtNameKanji"), Qt::Key_Return);
        QVERIFY2(fx.prompter.asked.isEmpty(), qPrintable(fx.prompter.texts().join('|')));
        QCOMPARE(saved, (QStringList {kKey, QStringLiteral("佐藤")}));
        QCOMPARE(w.statusText(), QStringLiteral("最終更新者 : nurse1(山田)   最終更新時間 : 2026/12/10 09:30:00"));
        QVERIFY(w.isVisible());
        QCOMPARE(w.oldKey(), kKey);

        PatientRecord back;
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today(kKey), &back), RecordReadResult::Read);
        QCOMPARE(back.value("000"), QString(26, QLatin1Char('9')));
        QCOMPARE(back.value("005"), QStringLiteral("男性"));
        QCOMPARE(back.value("006"), QStringLiteral("91歳"));
        QCOMPARE(back.value("058"), QStringLiteral("結核"));
        QCOMPARE(back.value("072"), QStringLiteral("なし"));
        QCOMPARE(back.value("301"), QStringLiteral("山田"));
    }

    void emptyFamilyNameRefusedWithFocus()
    {
        Fixture fx;
        bool saved = false;
        RecordHost host;
        host.onSaved = [&](const QString &, const QString &) { saved = true; };
        PatientRecordDialog w(fx.ctx, host);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.setCurrentTab(12);
        QTest::mouseClick(child<QPushButton>(w, "Command1"), Qt::LeftButton);
        QCOMPARE(fx.prompter.texts(), QStringList {QStringLiteral("名字を入力してください")});
        QVERIFY(!saved);
        QVERIFY(w.isVisible()); // OK closes only after a passed check
        QCOMPARE(w.currentTab(), 0);
        QTRY_VERIFY(child<QLineEdit>(w, "txtNameKanji")->hasFocus());
        QVERIFY(QDir(fx.path("DB")).entryList(QDir::Files).isEmpty());
    }

    void renameThroughOkLeavesOneFile()
    {
        Fixture fx;
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), storedPatient()));
        QStringList saved;
        RecordHost host;
        host.bedEntry = kKey;
        host.onSaved = [&](const QString &key, const QString &) { saved << key; };
        PatientRecordDialog w(fx.ctx, host);
        QVERIFY(showTabOf(w, "cmbKansenAri"));
        QCOMPARE(text(w, "cmbKansenAri"), QStringLiteral("結核")); // stored typed value shown as is
        QVERIFY(showTabOf(w, "txtKeireki_39"));
        QCOMPARE(text(w, "txtKeireki_39"), QStringLiteral("最終行"));
        child<QLineEdit>(w, "txtNameKanji2")->setText(QStringLiteral("次郎"));
        w.saveAndClose();
        const QString renamed = QStringLiteral("佐藤_次郎_昭和10年5月3日");
        QCOMPARE(saved, QStringList {renamed});
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files), QStringList {renamed});
    }

    // Whatever the file holds comes back unchanged from a save without edits:
    // values longer than a field's limit, values that are no list item.
    void storedValuesSurviveUnchangedSave_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::newRow("ID over its limit") << "000" << QString(30, QLatin1Char('9'));
        QTest::newRow("zip over its limit") << "013"
                                            << "1234567";
        QTest::newRow("address over its limit") << "017" << QString(40, QChar(0x5C71));
        QTest::newRow("note line over its limit") << "A10" << QString(40, QChar(0x884C));
        QTest::newRow("age 0") << "006" << QStringLiteral("0歳");
        QTest::newRow("age 121") << "006" << QStringLiteral("121歳");
        QTest::newRow("year with a leading zero") << "008" << QStringLiteral("05年");
        QTest::newRow("day with a leading zero") << "010" << QStringLiteral("03日");
        QTest::newRow("blood group in other case") << "011" << QStringLiteral("ab型");
        QTest::newRow("tab inside a note") << "147" << QStringLiteral("a\tb ");
    }
    void storedValuesSurviveUnchangedSave()
    {
        QFETCH(QString, key);
        QFETCH(QString, value);
        Fixture fx;
        PatientRecord r = storedPatient();
        r.setValue(key, value);
        const QString file = fx.path("DB/" + makePatientKey(r));
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(makePatientKey(r)), r));
        const QByteArray before = readBytes(file);

        RecordHost host;
        host.bedEntry = makePatientKey(r);
        PatientRecordDialog w(fx.ctx, host);
        QCOMPARE(w.record().value(key), value);
        QVERIFY(w.save());
        QVERIFY2(fx.prompter.asked.isEmpty(), qPrintable(fx.prompter.texts().join('|')));
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files), QStringList {host.bedEntry});
        QCOMPARE(readBytes(file), before);
    }

    // A save after only the first page was shown writes every other field's
    // bytes as they were read.
    void pagesNeverShownSaveAsRead()
    {
        Fixture fx;
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), everyFieldFilled()));
        const QString file = fx.path("DB/" + kKey);
        const QList<QByteArray> before = readBytes(file).split('\n');
        RecordHost host;
        host.bedEntry = kKey;
        PatientRecordDialog w(fx.ctx, host);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!w.findChild<QWidget *>("txtShindan_0")); // the other pages were never built
        child<QLineEdit>(w, "txtID")->setText(QStringLiteral("B-2"));
        QVERIFY(w.save());
        QCOMPARE(fx.prompter.texts(), QStringList());
        const QList<QByteArray> after = readBytes(file).split('\n');
        QCOMPARE(after.size(), before.size());
        for (int i = 0; i < before.size(); ++i)
            QCOMPARE(after[i], before[i].startsWith("000:") ? QByteArray("000:B-2\r") : before[i]);
    }

    // Print reads every field whether its page was shown or not: the
    // summary of a window whose pages were never shown is the one of a
    // window shown page by page.
    void printSeesPagesNeverShown()
    {
        Fixture fx;
        const PatientRecord stored = everyFieldFilled();
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), stored));
        auto printed = [&](bool showEveryPage) {
            PatientRecord r;
            RecordHost host;
            host.bedEntry = kKey;
            host.print = [&](QWidget *w) { r = static_cast<PatientRecordDialog *>(w)->record(); };
            PatientRecordDialog w(fx.ctx, host);
            for (int tab = 0; showEveryPage && tab < recordTabs().size(); ++tab)
                child<QPushButton>(w, QStringLiteral("SSTab1_tab_%1").arg(tab))->click();
            child<QPushButton>(w, "Command2")->click();
            return r;
        };
        const PatientRecord neverShown = printed(false);
        const PatientRecord allShown = printed(true);
        for (const RecordField &f : recordFields()) {
            if (!f.hasControl())
                continue;
            QCOMPARE(neverShown.value(f.key), stored.value(f.key));
            QCOMPARE(allShown.value(f.key), stored.value(f.key));
        }
        if (QStandardPaths::findExecutable("pdftotext").isEmpty())
            QSKIP("poppler-utils not installed");
        auto summaryText = [&](const PatientRecord &r, const QString &name) {
            print::SummaryInput input;
            input.record = r;
            input.printDate = QStringLiteral("令和08年12月10日");
            QString text;
            for (const QString &pdf : print::writeSummaryPdfs(input, fx.dir.path(), name))
                text += pdfText(pdf);
            return text;
        };
        const QString text = summaryText(neverShown, "never-shown");
        for (const char *key : {"022", "058", "A10", "147", "219"}) // pages 1, 5, 10, 13, 20
            QVERIFY2(text.contains(stored.value(key)), key);
        QCOMPARE(text, summaryText(allShown, "all-shown"));
    }

    // The check sends the user to a field on a page never shown: the page
    // is built with the field's value, shown, and the field has the focus.
    void showFieldBuildsItsPage()
    {
        Fixture fx;
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), storedPatient()));
        RecordHost host;
        host.bedEntry = kKey;
        PatientRecordDialog w(fx.ctx, host);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QVERIFY(!w.findChild<QWidget *>("txtKeireki_39"));
        w.showField(QStringLiteral("txtKeireki_39"));
        QCOMPARE(w.currentTab(), 10);
        QVERIFY(child<QPushButton>(w, "SSTab1_tab_10")->isChecked());
        auto *line = child<QLineEdit>(w, "txtKeireki_39");
        QVERIFY(line);
        QCOMPARE(line->text(), QStringLiteral("最終行"));
        QVERIFY(line->isVisible());
        QTRY_VERIFY(line->hasFocus());
    }

    // Tab leaves a page's last field for the buttons, whenever the page was
    // built; Shift+Tab comes back.
    void tabFromALatePageReachesTheButtons()
    {
        Fixture fx;
        PatientRecordDialog w(fx.ctx, RecordHost {});
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *last = fieldOnItsTab<QLineEdit>(w, "txtKeireki_39");
        QVERIFY(last);
        last->setFocus();
        QTRY_VERIFY(last->hasFocus());
        QTest::keyClick(last, Qt::Key_Tab);
        auto *ok = child<QPushButton>(w, "Command1");
        QTRY_VERIFY(ok->hasFocus());
        QTest::keyClick(ok, Qt::Key_Backtab);
        QTRY_VERIFY(last->hasFocus());
    }

    // Typing never goes past the limit; shortening a long stored value brings it back.
    void longStoredValueKeepsTypingLimited()
    {
        Fixture fx;
        PatientRecord r = storedPatient();
        r.setValue("013", "1234567");
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), r));
        RecordHost host;
        host.bedEntry = kKey;
        PatientRecordDialog w(fx.ctx, host);
        auto *zip = child<QLineEdit>(w, "txtZip1");
        zip->end(false);
        QTest::keyClicks(zip, "8");
        QCOMPARE(zip->text(), QStringLiteral("1234567"));
        zip->selectAll();
        QTest::keyClicks(zip, "98765");
        QCOMPARE(zip->text(), QStringLiteral("987"));
    }

    // Each save in the open window replaces the previous one's file.
    void twoRenamesLeaveOneFile()
    {
        Fixture fx;
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), storedPatient()));
        QStringList saved;
        RecordHost host;
        host.bedEntry = kKey;
        host.onSaved = [&](const QString &key, const QString &) { saved << key; };
        PatientRecordDialog w(fx.ctx, host);
        auto *given = child<QLineEdit>(w, "txtNameKanji2");
        given->setText(QStringLiteral("次郎"));
        QVERIFY(w.save());
        given->setText(QStringLiteral("三郎"));
        QVERIFY(w.save());
        const QString last = QStringLiteral("佐藤_三郎_昭和10年5月3日");
        QCOMPARE(saved, (QStringList {QStringLiteral("佐藤_次郎_昭和10年5月3日"), last}));
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files), QStringList {last});
        QCOMPARE(w.oldKey(), last);
    }

    // A rejected save by OK keeps the window and the typing, with the field in focus.
    void rejectedOkKeepsWindowOpen_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("message");
        QTest::newRow("key of another bed")
            << "txtNameKanji2" << QStringLiteral("次郎")
            << QStringLiteral("同じ氏名・生年月日の患者が他のベッドに登録されているため、保存できません。\r"
                              "氏名と生年月日を確認してください。");
        QTest::newRow("slash in the name")
            << "txtNameKanji" << QStringLiteral("佐/藤")
            << QStringLiteral("氏名に使用できない文字（\\ / : * ? \" < > | や制御文字）が含まれています。\r"
                              "別の文字に置き換えてから保存してください。");
        QTest::newRow("character outside the code page")
            << "txtKeireki_3" << QStringLiteral("😀")
            << QStringLiteral("現在までの経過(4行目)に保存できない文字があります。\r");
    }
    void rejectedOkKeepsWindowOpen()
    {
        QFETCH(QString, field);
        QFETCH(QString, value);
        QFETCH(QString, message);
        Fixture fx;
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), storedPatient()));
        const QByteArray before = readBytes(fx.path("DB/" + kKey));
        bool saved = false;
        RecordHost host;
        host.bedEntry = kKey;
        host.onSaved = [&](const QString &, const QString &) { saved = true; };
        host.keyTakenByOtherBed = [](const QString &key) { return key == QStringLiteral("佐藤_次郎_昭和10年5月3日"); };
        PatientRecordDialog w(fx.ctx, host);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        fieldOnItsTab<QLineEdit>(w, field)->setText(value);
        // Back on the first page: the check shows the field's own.
        QVERIFY(showTabOf(w, "txtID"));
        QTest::mouseClick(child<QPushButton>(w, "Command1"), Qt::LeftButton);
        QCOMPARE(fx.prompter.asked.size(), 1);
        QVERIFY2(fx.prompter.asked[0].text.startsWith(message), qPrintable(fx.prompter.asked[0].text));
        QVERIFY(w.isVisible());
        const QString focused = field == "txtNameKanji2" ? "txtNameKanji" : field;
        QCOMPARE(w.currentTab(), recordFieldByObjectName(focused)->tab);
        QTRY_VERIFY(child<QLineEdit>(w, focused)->hasFocus());
        QCOMPARE(text(w, field), value);
        QVERIFY(!saved);
        QCOMPARE(w.oldKey(), kKey);
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files), QStringList {kKey});
        QCOMPARE(readBytes(fx.path("DB/" + kKey)), before);
    }

    // The record was read whole; only its photo is gone: the record stays editable.
    void missingPhotoKeepsRecordEditable()
    {
        Fixture fx;
        PatientRecord r = storedPatient();
        const QString gone = fx.dir.filePath("gone.jpg");
        r.setValue("400", gone);
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), r));
        RecordHost host;
        host.bedEntry = kKey;
        PatientRecordDialog w(fx.ctx, host);
        QVERIFY(!w.readOnlyMode());
        QVERIFY(child<QPushButton>(w, "Command3")->isEnabled());
        QCOMPARE(w.statusText(), QStringLiteral("最終更新者 : nurse1(山田)   最終更新時間 : 2026/12/10 09:30:00"));
        QVERIFY(QFileInfo::exists(fx.path("log/error.log"))); // reported, not hidden
        fx.prompter.clear();
        QVERIFY(w.save());
        PatientRecord back;
        QCOMPARE(readPatientRecord(fx.ctx, RecordRef::today(kKey), &back), RecordReadResult::Read);
        QCOMPARE(back.value("400"), gone);
    }

    void snapshotDayIsReadOnly_data()
    {
        QTest::addColumn<bool>("today");
        QTest::addColumn<int>("authority");
        QTest::newRow("snapshot day") << false << 2;
        QTest::newRow("restricted staff today") << true << 1;
    }
    void snapshotDayIsReadOnly()
    {
        QFETCH(bool, today);
        QFETCH(int, authority);
        Fixture fx;
        fx.ctx.currentAccount.authority = Authority::Full;
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), storedPatient()));
        if (!today) {
            // Only the snapshot holds the record: today's folder must not be read.
            QDir().mkpath(fx.path("BackUp/" + kSnapshot));
            QVERIFY(QFile::rename(fx.path("DB/" + kKey), fx.path("BackUp/" + kSnapshot + "/" + kKey)));
        }
        fx.ctx.currentAccount = {QStringLiteral("viewer"), static_cast<Authority>(authority), QString(), QString()};
        bool saved = false;
        RecordHost host;
        host.bedEntry = kKey;
        host.today = today;
        host.snapshotFolder = today ? QString() : kSnapshot;
        host.onSaved = [&](const QString &, const QString &) { saved = true; };
        PatientRecordDialog w(fx.ctx, host);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));

        QVERIFY(w.readOnlyMode());
        QCOMPARE(text(w, "txtNameKanji"), QStringLiteral("佐藤"));
        QCOMPARE(w.statusText(), QStringLiteral("最終更新者 : nurse1(山田)   最終更新時間 : 2026/12/10 09:30:00"));
        QVERIFY(!child<QPushButton>(w, "Command1")->isEnabled());
        QVERIFY(!child<QPushButton>(w, "Command3")->isEnabled());
        for (const char *on : {"endCmd", "Command2", "HelpCmd", "Command4"})
            QVERIFY2(child<QPushButton>(w, on)->isEnabled(), on);
        // Nothing but the last blood pressure can be changed, and every
        // value stays legible: text boxes read-only on the window's grey,
        // not greyed out; lists keep their text colour. The same holds on
        // the pages built only now, when their tabs are first shown.
        QVERIFY(!w.findChild<QWidget *>("txtKetuatu1"));
        for (const RecordField &f : recordFields()) {
            if (!f.hasControl())
                continue;
            const bool lastBloodPressure = f.control == "txtKetuatu1" || f.control == "txtKetuatu2";
            QWidget *field = fieldOnItsTab<QWidget>(w, f.objectName());
            QVERIFY2(field, qPrintable(f.objectName()));
            if (auto *e = qobject_cast<QLineEdit *>(field)) {
                QVERIFY(e->isEnabled());
                QCOMPARE(e->isReadOnly(), !lastBloodPressure);
                QCOMPARE(e->palette().color(QPalette::Base) == w.palette().color(QPalette::Window), !lastBloodPressure);
            } else {
                QCOMPARE(field->isEnabled(), false);
                QCOMPARE(field->palette().color(QPalette::Disabled, QPalette::Text),
                         w.palette().color(QPalette::Active, QPalette::Text));
            }
        }
        QVERIFY(showTabOf(w, "txtID"));
        if (!qEnvironmentVariableIsEmpty("VELTO_SHOTS"))
            w.grab().save(qEnvironmentVariable("VELTO_SHOTS") + "/record-read-only.png");
        QTest::keyClick(fieldOnItsTab<QLineEdit>(w, "txtKetuatu1"), Qt::Key_Return);
        QVERIFY(!saved);
        QVERIFY(fx.prompter.asked.isEmpty());
        QCOMPARE(QDir(fx.path("DB")).entryList(QDir::Files).size(), today ? 1 : 0);
    }

    void failedLoadBlocksSaving()
    {
        Fixture fx;
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), storedPatient()));
        QFile f(fx.path("DB/" + kKey));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QByteArray bytes = f.readAll();
        f.close();
        // Cut after the given name: a short line stops the read there.
        const int cut = bytes.indexOf("005:");
        bytes = bytes.left(cut) + "05\r\n" + bytes.mid(cut);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();

        bool saved = false;
        RecordHost host;
        host.bedEntry = kKey;
        host.onSaved = [&](const QString &, const QString &) { saved = true; };
        PatientRecordDialog w(fx.ctx, host);
        QCOMPARE(text(w, "txtNameKanji"), QStringLiteral("佐藤")); // read before the fault
        QCOMPARE(text(w, "cmbSeibetu"), QString());                // never read
        QVERIFY(w.readOnlyMode());
        QVERIFY(!child<QPushButton>(w, "Command3")->isEnabled());
        QCOMPARE(w.statusText(), QStringLiteral("患者情報を最後まで読み込めなかったため、保存できません。"));
        QCOMPARE(fx.prompter.asked.size(), 1); // the error report

        w.saveAndClose();
        QVERIFY(!saved);
        QCOMPARE(fx.prompter.asked.last().text,
                 QStringLiteral("患者情報を最後まで読み込めなかったため、保存できません。"));
        QCOMPARE(f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray(), bytes);
    }

    // One undecodable byte must not blank the record on screen (nor on the
    // summary printed from it): every other line shows, the window is
    // read-only with the line named, Print stays. Empty lines after a whole
    // record are no fault at all.
    void damagedRecordShowsWhatDecodes_data()
    {
        QTest::addColumn<QByteArray>("badLine"); // replaces the line of "005"; empty: none
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<QString>("status");
        QTest::newRow("0xFF in a line") << QByteArray("005:\xff") << QByteArray()
                                        << QStringLiteral("患者情報の%1行目を読み取れなかったため、保存できません。");
        QTest::newRow("empty lines after the record")
            << QByteArray() << QByteArray("\r\n\r\n")
            << QStringLiteral("最終更新者 : nurse1(山田)   最終更新時間 : 2026/12/10 09:30:00");
    }
    void damagedRecordShowsWhatDecodes()
    {
        QFETCH(QByteArray, badLine);
        QFETCH(QByteArray, tail);
        QFETCH(QString, status);
        Fixture fx;
        const QString file = fx.path("DB/" + kKey);
        QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), storedPatient()));
        QList<QByteArray> lines = readBytes(file).split('\n');
        int lineNo = 0;
        for (int i = 0; i < lines.size(); ++i)
            if (!badLine.isEmpty() && lines[i].startsWith("005:")) {
                lines[i] = badLine + '\r';
                lineNo = i + 1;
            }
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(lines.join('\n') + tail);
        f.close();
        const QByteArray onDisk = readBytes(file);

        bool saved = false;
        PatientRecord printed;
        RecordHost host;
        host.bedEntry = kKey;
        host.onSaved = [&](const QString &, const QString &) { saved = true; };
        host.print = [&](QWidget *w) { printed = static_cast<PatientRecordDialog *>(w)->record(); };
        PatientRecordDialog w(fx.ctx, host);
        const bool damaged = !badLine.isEmpty();
        if (damaged && !qEnvironmentVariableIsEmpty("VELTO_SHOTS")) {
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            w.grab().save(qEnvironmentVariable("VELTO_SHOTS") + "/record-damaged.png");
        }
        QCOMPARE(w.statusText(), damaged ? status.arg(lineNo) : status);
        QCOMPARE(text(w, "txtNameKanji"), QStringLiteral("佐藤")); // before the bad line
        QCOMPARE(text(w, "cmbSeibetu"), damaged ? QString() : QStringLiteral("男"));
        QCOMPARE(w.record().value("A10"), QStringLiteral("最終行")); // the last line
        QCOMPARE(w.record().value("058"), QStringLiteral("結核"));
        QCOMPARE(w.readOnlyMode(), damaged);
        QCOMPARE(child<QPushButton>(w, "Command3")->isEnabled(), !damaged);
        QVERIFY(child<QPushButton>(w, "Command2")->isEnabled());
        child<QPushButton>(w, "Command2")->click();
        QCOMPARE(printed.value("A10"), QStringLiteral("最終行"));
        QCOMPARE(printed.value("003"), QStringLiteral("佐藤"));
        QVERIFY(fx.prompter.asked.isEmpty());

        if (damaged) {
            w.saveAndClose();
            QVERIFY(!saved);
            QCOMPARE(fx.prompter.texts(), QStringList {status.arg(lineNo)});
            QCOMPARE(readBytes(file), onDisk);
        } else {
            QVERIFY(w.save());
            QVERIFY(saved);
        }
    }

    // In a data folder shared by the group the record points at the
    // folder's own copy of the picture, which every account can open.
    void photoChoice_data()
    {
        QTest::addColumn<bool>("shared");
        QTest::newRow("the account's own folder") << false;
        QTest::newRow("a folder shared by the group") << true;
    }
    void photoChoice()
    {
        QFETCH(bool, shared);
        Fixture fx;
        if (shared) {
            fx.store = std::make_unique<FolderStore>(fx.ctx.appDir, QString(),
                                                     std::make_unique<SharedWardSettings>(fx.ctx.appDir, 1000));
            fx.ctx.store = fx.store.get();
        }
        PatientRecordDialog w(fx.ctx, RecordHost {});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        const QString picture = fx.dir.filePath("face.png");
        QImage img(40, 80, QImage::Format_RGB32);
        img.fill(Qt::blue);
        QVERIFY(img.save(picture));
        const QString notPicture = fx.dir.filePath("note.jpg");
        QFile t(notPicture);
        QVERIFY(t.open(QIODevice::WriteOnly));
        t.write("not a picture");
        t.close();

        w.applyPhotoChoice(picture);
        const QString kept = w.record().value("400");
        if (shared) {
            QCOMPARE(QFileInfo(kept).absolutePath(), fx.path("DB/photos"));
            QCOMPARE(readBytes(kept), readBytes(picture));
        } else {
            QCOMPARE(kept, picture);
        }
        QVERIFY(fx.prompter.texts().isEmpty());
        QVERIFY(!child<QPushButton>(w, "Command4")->isVisible());
        QVERIFY(child<QPushButton>(w, "Command5")->isVisible());
        QVERIFY(!child<QLabel>(w, "Image1")->pixmap().isNull());

        w.applyPhotoChoice(notPicture);
        QCOMPARE(fx.prompter.texts(), QStringList {QStringLiteral("正しいピクチャーを選択してください！")});
        QCOMPARE(w.record().value("400"), notPicture); // the path is kept, the area is not
        QVERIFY(child<QPushButton>(w, "Command5")->isVisible());

        w.applyPhotoChoice(QString()); // cancelled
        QVERIFY(child<QPushButton>(w, "Command4")->isVisible());
        QVERIFY(!child<QPushButton>(w, "Command5")->isVisible());
        QCOMPARE(w.record().value("400"), notPicture);
    }

    // A FIFO named as the photo must be refused, not waited on. Should the
    // window open it after all, a writer comes after three seconds so the test
    // fails instead of hanging.
    void fifoPhotoNeverBlocks_data()
    {
        QTest::addColumn<bool>("stored");
        QTest::newRow("chosen in the dialog") << false;
        QTest::newRow("stored in the record") << true;
    }
    void fifoPhotoNeverBlocks()
    {
        QFETCH(bool, stored);
        Fixture fx;
        const QString fifo = fx.dir.filePath("face.jpg");
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        std::atomic<bool> done {false};
        std::thread rescuer([&] {
            for (int i = 0; i < 100 && !done; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
                if (i < 60)
                    continue;
                const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
                if (fd >= 0) {
                    ::close(fd);
                    return;
                }
            }
        });
        QElapsedTimer clock;
        clock.start();
        RecordHost host;
        if (stored) {
            PatientRecord r = storedPatient();
            r.setValue("400", fifo);
            QVERIFY(writePatientRecord(fx.ctx, RecordRef::today(kKey), r));
            host.bedEntry = kKey;
        }
        PatientRecordDialog w(fx.ctx, host);
        if (!stored)
            w.applyPhotoChoice(fifo);
        const qint64 took = clock.elapsed();
        done = true;
        rescuer.join();
        QVERIFY2(took < 2000, qPrintable(QString::number(took)));
        QVERIFY(child<QLabel>(w, "Image1")->pixmap().isNull());
        QCOMPARE(w.record().value("400"), fifo);
        QVERIFY(!w.readOnlyMode());
        if (!stored)
            QCOMPARE(fx.prompter.texts(), QStringList {QStringLiteral("正しいピクチャーを選択してください！")});
    }

    // The photo dialog lists the file types with their own texts, each once.
    void photoDialogTexts()
    {
        Fixture fx;
        PatientRecordDialog w(fx.ctx, RecordHost {});
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QString title;
        QStringList filters;
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
            if (!d)
                return;
            title = d->windowTitle();
            filters = d->nameFilters();
            d->reject();
        });
        child<QPushButton>(w, "Command4")->click();
        QCOMPARE(title, QStringLiteral("顔写真設定"));
        QCOMPARE(filters, (QStringList {QStringLiteral("JPEG イメージ(*.jpg)"), QStringLiteral("ビットマップ(*.bmp)"),
                                        QStringLiteral("GIF イメージ(*.gif)"), QStringLiteral("アイコン(*.ico)"),
                                        QStringLiteral("すべてのファイル(*.*)")}));
        QVERIFY(child<QPushButton>(w, "Command4")->isVisible()); // cancelled
    }

    void cancelWritesNothing()
    {
        Fixture fx;
        bool saved = false;
        RecordHost host;
        host.bedEntry = kKey; // a bed entry without a file opens empty
        host.onSaved = [&](const QString &, const QString &) { saved = true; };
        PatientRecordDialog w(fx.ctx, host);
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        QCOMPARE(w.oldKey(), kKey);
        child<QLineEdit>(w, "txtNameKanji")->setText(QStringLiteral("佐藤"));
        auto *cancel = child<QPushButton>(w, "endCmd");
        cancel->setFocus();
        QTest::keyClick(cancel, Qt::Key_Return);
        QCOMPARE(w.result(), int(QDialog::Rejected));
        QVERIFY(!w.isVisible());
        QVERIFY(!saved);
        QVERIFY(QDir(fx.path("DB")).entryList(QDir::Files).isEmpty());
    }
};

QTEST_MAIN(TstRecordWindow)
#include "tst_recordwindow.moc"
