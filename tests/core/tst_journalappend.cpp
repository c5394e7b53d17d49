// A change that appends a line to a journal beside its folder (the ward's
// history in log/ beside DB/) and puts a folder beside it aside (a snapshot
// deleted): whatever step a failure or a crash stops the change at, once it
// is completed the line is there exactly once and the files and the folder
// changed with it, or none of it happened; a torn last line left by an
// earlier crash is cut off before the line goes on.
#include <QtTest>

#include "core/textfile.h"

using namespace velto;

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void put(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

const QByteArray Earlier = "earlier-id\tone\r\n";
const QString Id = QStringLiteral("7f1c2a4e-9d3b-4c8e-a1f0-2b6d5e8c9a01");
const QByteArray Line = Id.toUtf8() + "\tadmitted\r\n";

struct Ward {
    QTemporaryDir dir;
    QString db = dir.filePath(QStringLiteral("DB"));
    QString journal = dir.filePath(QStringLiteral("log/history.WBD"));
    QString day = dir.filePath(QStringLiteral("BackUp/day"));
    QString aside = dir.filePath(QStringLiteral("BackUp/.removing-day"));
    Ward()
    {
        put(db + "/a.txt", "old");
        put(db + "/b.txt", "gone soon");
        put(journal, Earlier);
        put(day + "/ROOM.WBD", "a snapshot");
    }
    bool change(QString *error)
    {
        textfile::Change c(db);
        c.write(db + "/a.txt", "new");
        c.append(journal, Line, Id);
        c.moveAside(day, aside);
        c.remove(db + "/b.txt");
        return c.commit(error);
    }
    QStringList staging() const
    {
        return QDir(db).entryList({QStringLiteral(".~velto-*")}, QDir::Files | QDir::Hidden);
    }
};

} // namespace

class TestJournalAppend : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { textfile::setStepHook({}); }

    void everyStepStopped_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<bool>("happened"); // once completed
        QTest::newRow("staging the file") << "stage a.txt" << false;
        QTest::newRow("staging the line") << "stage ../log/history.WBD" << false;
        QTest::newRow("the intent") << "intent" << false;
        QTest::newRow("the rename") << "rename a.txt" << true;
        QTest::newRow("the append") << "append ../log/history.WBD" << true;
        QTest::newRow("after the append, before its clean-up") << "appended ../log/history.WBD" << true;
        QTest::newRow("the folder put aside") << "move ../BackUp/day" << true;
        QTest::newRow("the removal") << "remove b.txt" << true;
    }
    void everyStepStopped()
    {
        QFETCH(QString, step);
        QFETCH(bool, happened);
        Ward w;
        textfile::setStepHook([&](const QString &s) { return s != step; });
        QString error;
        QVERIFY(!w.change(&error));
        textfile::setStepHook({});
        // The next start (or change) completes what the intent promised.
        QVERIFY2(textfile::completeInterruptedChange(w.db, &error), qPrintable(error));
        textfile::removeStaleStagingFiles(w.db);
        QCOMPARE(readAll(w.db + "/a.txt"), happened ? QByteArray("new") : QByteArray("old"));
        QCOMPARE(QFileInfo::exists(w.db + "/b.txt"), !happened);
        QCOMPARE(readAll(w.journal), happened ? Earlier + Line : Earlier);
        QCOMPARE(QFileInfo::exists(w.day), !happened);
        QCOMPARE(readAll(w.aside + "/ROOM.WBD"), happened ? QByteArray("a snapshot") : QByteArray("<missing>"));
        QCOMPARE(w.staging(), QStringList());
        // Completing once more changes nothing.
        QVERIFY(textfile::completeInterruptedChange(w.db, &error));
        QCOMPARE(readAll(w.journal), happened ? Earlier + Line : Earlier);
    }

    void wholeChangeAppendsOnce()
    {
        Ward w;
        QString error;
        QVERIFY2(w.change(&error), qPrintable(error));
        QCOMPARE(readAll(w.journal), Earlier + Line);
        QCOMPARE(w.staging(), QStringList());
        // A folder cannot be put aside onto one already there: nothing happens.
        put(w.day + "/ROOM.WBD", "another day");
        QVERIFY(!w.change(&error));
        QCOMPARE(readAll(w.journal), Earlier + Line);
        QCOMPARE(readAll(w.day + "/ROOM.WBD"), QByteArray("another day"));
        QCOMPARE(w.staging(), QStringList());
        // The same event again (a replay) is not recorded twice.
        QVERIFY(QDir(w.aside).removeRecursively());
        QVERIFY(w.change(&error));
        QCOMPARE(readAll(w.journal), Earlier + Line);
    }

    void tornLastLineIsCutFirst_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("kept");
        QTest::newRow("half a line") << Earlier + "half-writ" << Earlier;
        QTest::newRow("a line without its LF") << Earlier + "x\tcut\r" << Earlier;
        QTest::newRow("only a torn line") << QByteArray("torn") << QByteArray();
        QTest::newRow("a torn line carrying the id") << Earlier + Id.toUtf8() + "\tadm" << Earlier;
        QTest::newRow("no journal yet") << QByteArray() << QByteArray();
    }
    void tornLastLineIsCutFirst()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, kept);
        Ward w;
        if (before.isEmpty())
            QVERIFY(QDir(w.dir.filePath("log")).removeRecursively());
        else
            put(w.journal, before);
        QString error;
        QVERIFY2(w.change(&error), qPrintable(error));
        QCOMPARE(readAll(w.journal), kept + Line);
    }

    void journalFarAwayIsRefused()
    {
        Ward w;
        textfile::Change c(w.db);
        c.write(w.db + "/a.txt", "new");
        c.append(w.dir.filePath("../elsewhere.WBD"), Line, Id);
        QString error;
        QVERIFY(!c.commit(&error));
        QCOMPARE(readAll(w.db + "/a.txt"), QByteArray("old"));
        QCOMPARE(w.staging(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestJournalAppend)
#include "tst_journalappend.moc"
