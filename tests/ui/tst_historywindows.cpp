// The history window (filters, newest first, CSV export through the save
// dialog) and the statistics window (gaps stay gaps, the picture is saved),
// both opened from the board by any account.
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QDateEdit>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QLineSeries>
#include <QPushButton>
#include <QTreeView>
#include <QtTest>

#include "board/boardmodel.h"
#include "board/wardlayout.h"
#include "core/eradate.h"
#include "core/textfile.h"
#include "store/wardstore.h"
#include "support/testcontext.h"
#include "support/widgets.h"
#include "ui/historywindow.h"
#include "ui/statisticswindow.h"
#include "ui/wardboardwindow.h"

using namespace velto;
using test::child;

namespace {

const QString Sato1 = QStringLiteral("佐藤_一郎_昭和10年5月3日");
const QString Sato2 = QStringLiteral("佐藤_二郎_昭和12年1月1日");
const QString Takahashi = QStringLiteral("高橋_ハナ_大正15年3月3日");

HistoryEvent historyEvent(const char *id, const char *time, const char *login, const QString &kind,
                          const QString &patient, const QString &detail = QString())
{
    HistoryEvent e;
    e.id = QString::fromLatin1(id);
    e.time = QString::fromLatin1(time);
    e.loginId = QString::fromLatin1(login);
    e.staffName = e.loginId == QLatin1String("kango01") ? QStringLiteral("山田") : QStringLiteral("鈴木");
    e.kind = kind;
    e.room = QStringLiteral("101");
    e.bed = QStringLiteral("1");
    e.patientKey = patient;
    e.detail = detail;
    return e;
}

// Today is 2026/12/10: the window opens on 11/11 to 12/10.
QList<HistoryEvent> fixtureEvents()
{
    using namespace historykind;
    return {
        historyEvent("h1", "2026/10/20 10:00:00", "kango01", Admission, Sato1),
        historyEvent("h3", "2026/11/10 23:59:59", "kango01", BedMove, Takahashi),
        historyEvent("h2", "2026/11/11 00:00:00", "kango02", RecordSave, Sato1, QStringLiteral("体重")),
        historyEvent("h4", "2026/12/01 09:00:00", "kango01", Admission, Sato2),
        historyEvent("h5", "2026/12/10 09:00:00", "kango02", DischargeKept, Sato1, QStringLiteral("自宅へ, 家族と")),
    };
}

void storeEvents(test::TestContext &tc, const QList<HistoryEvent> &events)
{
    WardChange change;
    change.events = events;
    QString error;
    QVERIFY2(tc.ctx.store->apply(change, &error) == ChangeResult::Done, qPrintable(error));
}

// Types text as an input method would (QTest::keyClicks takes Latin-1 only).
void typeText(QWidget *w, const QString &text)
{
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QCoreApplication::sendEvent(w, &press);
    }
}

QStringList ids(const QList<HistoryEvent> &events)
{
    QStringList out;
    for (const HistoryEvent &e : events)
        out << e.id;
    return out;
}

// Answers the next save dialog named name with path (cancels when empty);
// *seen tells whether it came.
void answerSaveDialog(const QString &name, const QString &path, bool *seen)
{
    QTimer::singleShot(0, [=] {
        auto *d = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!d || d->objectName() != name)
            return;
        *seen = d->acceptMode() == QFileDialog::AcceptSave;
        if (path.isEmpty()) {
            d->reject();
            return;
        }
        d->selectFile(path);
        static_cast<QDialog *>(d)->accept(); // QFileDialog hides it
    });
}

void writeLayout(const QString &folder, int occupied)
{
    QStringList beds, numbers, colours;
    for (int i = 0; i < BoardModel::BedCount; ++i)
        beds << (i < occupied ? QStringLiteral("患者%1_一郎_昭和10年5月3日").arg(i) : QString());
    for (int i = 0; i < BoardModel::RoomCount; ++i) {
        numbers << QString::number(101 + i);
        colours << QString::number(BoardModel::InitialRoomColour);
    }
    QDir().mkpath(folder);
    QString error;
    QVERIFY2(textfile::writeLines(folder + "/" + layoutfile::Beds, beds, &error), qPrintable(error));
    QVERIFY(textfile::writeLines(folder + "/" + layoutfile::RoomNumbers, numbers, &error));
    QVERIFY(textfile::writeLines(folder + "/" + layoutfile::RoomColours, colours, &error));
}

void writeSnapshot(test::TestContext &tc, const QDate &day, int occupied)
{
    writeLayout(tc.path("BackUp/" + eraDateOf(day)), occupied);
}

// Every point of a chart's series named name, by day.
QMap<QDate, qreal> pointsOf(QChartView *view, const QString &name, int *seriesCount = nullptr)
{
    QMap<QDate, qreal> points;
    int count = 0;
    for (QAbstractSeries *s : view->chart()->series()) {
        auto *line = qobject_cast<QLineSeries *>(s);
        if (!line || line->name() != name)
            continue;
        ++count;
        for (const QPointF &p : line->points())
            points.insert(QDateTime::fromMSecsSinceEpoch(qint64(p.x())).date(), p.y());
    }
    if (seriesCount)
        *seriesCount = count;
    return points;
}

} // namespace

class TestHistoryWindows : public QObject {
    Q_OBJECT

    std::unique_ptr<test::TestContext> tc;

private slots:
    void init()
    {
        tc = std::make_unique<test::TestContext>();
        tc->makeFolders();
        tc->ctx.currentAccount
            = StaffAccount {QStringLiteral("kango02"), Authority::Restricted, QStringLiteral("鈴木"), QString()};
    }

    // The last 30 days ending today, every staff member seen, newest first.
    void opensOnTheLastThirtyDays()
    {
        storeEvents(*tc, fixtureEvents());
        HistoryWindow w(tc->ctx);
        QCOMPARE(child<QDateEdit>(w, "dateFrom")->date(), QDate(2026, 11, 11));
        QCOMPARE(child<QDateEdit>(w, "dateTo")->date(), QDate(2026, 12, 10));
        auto *staff = child<QComboBox>(w, "cmbStaff");
        QStringList items;
        for (int i = 0; i < staff->count(); ++i)
            items << staff->itemText(i);
        QCOMPARE(items, (QStringList {QStringLiteral("すべてのスタッフ"), QStringLiteral("山田（kango01）"),
                                      QStringLiteral("鈴木（kango02）")}));
        QCOMPARE(ids(w.shownEvents()), (QStringList {"h5", "h4", "h2"}));
        // The table shows them in that order, the patient as a nurse reads it.
        QAbstractItemModel *model = child<QTreeView>(w, "tblHistory")->model();
        QCOMPARE(model->rowCount(), 3);
        QCOMPARE(model->index(0, 0).data().toString(), QStringLiteral("2026/12/10 09:00:00"));
        QCOMPARE(model->index(2, 0).data().toString(), QStringLiteral("2026/11/11 00:00:00"));
        QCOMPARE(model->index(0, 6).data().toString(), QStringLiteral("佐藤 一郎（昭和10年5月3日）"));
        QCOMPARE(w.statusText(), QStringLiteral("3件を表示しています（履歴全体で5件）。"));
    }

    void filters_data()
    {
        QTest::addColumn<QDate>("from");
        QTest::addColumn<QDate>("to");
        QTest::addColumn<QString>("patient");
        QTest::addColumn<QString>("loginId");
        QTest::addColumn<QStringList>("expected");
        const QDate byDefault;
        QTest::newRow("day range") << QDate(2026, 10, 20) << QDate(2026, 11, 10) << QString() << QString()
                                   << QStringList {"h3", "h1"};
        QTest::newRow("patient, over the whole autumn") << QDate(2026, 10, 1) << byDefault << QStringLiteral("佐藤")
                                                        << QString() << QStringList {"h5", "h4", "h2", "h1"};
        QTest::newRow("both names") << QDate(2026, 10, 1) << byDefault << QStringLiteral("佐藤 二郎") << QString()
                                    << QStringList {"h4"};
        QTest::newRow("staff") << byDefault << byDefault << QString() << QStringLiteral("kango02")
                               << QStringList {"h5", "h2"};
        QTest::newRow("combined") << QDate(2026, 10, 1) << byDefault << QStringLiteral("一郎")
                                  << QStringLiteral("kango01") << QStringList {"h1"};
        QTest::newRow("from after to") << QDate(2026, 12, 10) << QDate(2026, 12, 1) << QString() << QString()
                                       << QStringList {};
    }
    void filters()
    {
        QFETCH(QDate, from);
        QFETCH(QDate, to);
        QFETCH(QString, patient);
        QFETCH(QString, loginId);
        QFETCH(QStringList, expected);
        storeEvents(*tc, fixtureEvents());
        HistoryWindow w(tc->ctx);
        if (from.isValid())
            child<QDateEdit>(w, "dateFrom")->setDate(from);
        if (to.isValid())
            child<QDateEdit>(w, "dateTo")->setDate(to);
        typeText(child<QLineEdit>(w, "txtPatient"), patient);
        auto *staff = child<QComboBox>(w, "cmbStaff");
        staff->setCurrentIndex(staff->findData(loginId));
        QCOMPARE(ids(w.shownEvents()), expected);
        QCOMPARE(child<QTreeView>(w, "tblHistory")->model()->rowCount(), expected.size());
        QCOMPARE(child<QPushButton>(w, "cmdExport")->isEnabled(), !expected.isEmpty());
    }

    // The export writes the rows shown, in their order, to the file chosen;
    // a cancelled dialog writes nothing.
    void exportsShownRowsAsCsv()
    {
        storeEvents(*tc, fixtureEvents());
        HistoryWindow w(tc->ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        typeText(child<QLineEdit>(w, "txtPatient"), QStringLiteral("一郎"));
        QTest::keyClick(child<QLineEdit>(w, "txtPatient"), Qt::Key_Return);
        QVERIFY(w.isVisible()); // Enter ends the typing, not the window
        QTemporaryDir out;
        const QString path = out.filePath("history.csv");

        bool seen = false;
        answerSaveDialog("dlgExport", QString(), &seen);
        child<QPushButton>(w, "cmdExport")->click();
        QVERIFY(seen);
        QVERIFY(!QFile::exists(path));

        seen = false;
        answerSaveDialog("dlgExport", path, &seen);
        child<QPushButton>(w, "cmdExport")->click();
        QVERIFY(seen);
        QByteArray bytes;
        QString error;
        QVERIFY2(textfile::readFile(path, &bytes, &error), qPrintable(error));
        QVERIFY(bytes.startsWith("\x93\xfa\x8e\x9e,")); // 日時 in code page 932
        QString text;
        QVERIFY(textfile::decode(bytes, &text, &error));
        QCOMPARE(text,
                 QStringLiteral("日時,ログインID,スタッフ名,種類,部屋,ベッド,患者,内容\r\n"
                                "2026/12/10 09:00:00,kango02,鈴木,退院（保存）,101,1,佐藤_一郎_昭和10年5月3日,"
                                "\"自宅へ, 家族と\"\r\n"
                                "2026/11/11 00:00:00,kango02,鈴木,記録保存,101,1,佐藤_一郎_昭和10年5月3日,体重\r\n"));
        QVERIFY2(w.statusText().contains(QStringLiteral("2件の履歴を")), qPrintable(w.statusText()));
        QVERIFY(tc->prompter.texts().isEmpty());
    }

    // A value the code page lacks (a database keeps any character): the
    // user is told which, nothing is written.
    void exportRefusesWhatTheCodePageLacks()
    {
        struct AnyCharacterStore : FolderStore {
            using FolderStore::FolderStore;
            bool readHistory(QList<HistoryEvent> *events, QString *) override
            {
                *events = fixtureEvents();
                events->last().detail = QStringLiteral("𠮷田さんへ連絡");
                return true;
            }
        };
        tc->store = std::make_unique<AnyCharacterStore>(tc->ctx.appDir);
        tc->ctx.store = tc->store.get();
        HistoryWindow w(tc->ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTemporaryDir out;
        const QString path = out.filePath("history.csv");
        bool seen = false;
        answerSaveDialog("dlgExport", path, &seen);
        child<QPushButton>(w, "cmdExport")->click();
        QVERIFY(seen);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(tc->prompter.texts().size(), 1);
        QVERIFY2(tc->prompter.texts().constFirst().contains(QStringLiteral("U+20BB7")),
                 qPrintable(tc->prompter.texts().constFirst()));
    }

    // A history that cannot be read is said so in both windows; neither fails.
    void unreadableHistoryIsReported()
    {
        QDir().mkpath(tc->path(HistoryFile)); // a folder where the file should be
        {
            HistoryWindow w(tc->ctx);
            QVERIFY2(w.statusText().startsWith(QStringLiteral("履歴を読み込めませんでした。")),
                     qPrintable(w.statusText()));
            QVERIFY(w.shownEvents().isEmpty());
            QVERIFY(!child<QPushButton>(w, "cmdExport")->isEnabled());
        }
        StatisticsWindow s(tc->ctx);
        QVERIFY2(s.statusText().contains(QStringLiteral("履歴を読み込めませんでした。")), qPrintable(s.statusText()));
    }

    // Days without a snapshot and months before the history are no points
    // at all; a quiet month after it began is a zero.
    void statisticsLeaveGaps()
    {
        writeSnapshot(*tc, QDate(2026, 12, 1), 3);
        writeSnapshot(*tc, QDate(2026, 12, 2), 4);
        writeSnapshot(*tc, QDate(2026, 12, 4), 0); // an empty ward is a zero, not a gap
        writeSnapshot(*tc, QDate(2026, 12, 6), 2);
        using namespace historykind;
        storeEvents(*tc, {historyEvent("m1", "2026/10/15 09:00:00", "kango01", Admission, Sato1),
                          historyEvent("m2", "2026/12/01 09:00:00", "kango01", Readmission, Sato2),
                          historyEvent("m3", "2026/12/05 09:00:00", "kango02", DischargeErased, Sato1)});
        StatisticsWindow w(tc->ctx);

        int runs = 0;
        const QMap<QDate, qreal> beds = pointsOf(child<QChartView>(w, "chartOccupancy"), "使用ベッド数", &runs);
        QCOMPARE(
            beds,
            (QMap<QDate, qreal> {
                {QDate(2026, 12, 1), 3}, {QDate(2026, 12, 2), 4}, {QDate(2026, 12, 4), 0}, {QDate(2026, 12, 6), 2}}));
        QCOMPARE(runs, 3); // no line through 12/03 or 12/05

        auto *movement = child<QChartView>(w, "chartMovement");
        const QMap<QDate, qreal> admitted = pointsOf(movement, "入院（再入院を含む）");
        const QMap<QDate, qreal> discharged = pointsOf(movement, "退院");
        QCOMPARE(admitted,
                 (QMap<QDate, qreal> {{QDate(2026, 10, 1), 1}, {QDate(2026, 11, 1), 0}, {QDate(2026, 12, 1), 1}}));
        QCOMPARE(discharged,
                 (QMap<QDate, qreal> {{QDate(2026, 10, 1), 0}, {QDate(2026, 11, 1), 0}, {QDate(2026, 12, 1), 1}}));
        QVERIFY(w.statusText().isEmpty());
    }

    void statisticsPictureIsSaved()
    {
        writeSnapshot(*tc, QDate(2026, 12, 1), 3);
        StatisticsWindow w(tc->ctx);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QTemporaryDir out;
        const QString path = out.filePath("statistics.png");
        bool seen = false;
        answerSaveDialog("dlgSavePicture", path, &seen);
        child<QPushButton>(w, "cmdSavePicture")->click();
        QVERIFY(seen);
        QImage saved;
        QVERIFY(saved.load(path, "PNG"));
        QCOMPARE(saved.size(), w.chartsImage().size());
        QVERIFY(saved.width() > 600 && saved.height() > 400);
        QVERIFY2(w.statusText().contains(QDir::toNativeSeparators(path)), qPrintable(w.statusText()));
    }

    // A restricted account on a past day has both items and opens both windows.
    void boardOffersBothToEveryAccount()
    {
        const QString past = eraDateOf(QDate(2026, 11, 1));
        tc->ctx.todayEraDate = eraDateOf(QDate(2026, 12, 10));
        writeLayout(tc->path("DB"), 1);
        writeLayout(tc->path("BackUp/" + past), 1);
        WardBoardWindow board(tc->ctx);
        board.findChild<QComboBox *>("cmbDate")->setCurrentIndex(1);
        QVERIFY(!tc->ctx.showsToday());
        const QList<QPair<QString, QString>> items {{"History", "frmHistory"}, {"Statistics", "frmStatistics"}};
        for (const auto &item : items) {
            QAction *a = board.menuItem(item.first);
            QVERIFY2(a && a->isEnabled(), qPrintable(item.first));
            QString opened;
            QTimer::singleShot(0, [&opened] {
                if (auto *d = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                    opened = d->objectName();
                    d->reject();
                }
            });
            a->trigger();
            QCOMPARE(opened, item.second);
        }
    }

    void cleanup()
    {
        QVERIFY2(test::missingControls().isEmpty(), qPrintable(test::missingControls().join(", ")));
        tc.reset();
    }
};

QTEST_MAIN(TestHistoryWindows)
#include "tst_historywindows.moc"
