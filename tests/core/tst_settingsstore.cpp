// The settings store never forgets a section it held: not after a failed
// write, not when the file cannot be read back.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include "core/settingsstore.h"

using namespace velto;

namespace {

enum class AtReload { Folder, NotIni, Gone };

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace

class TestSettingsStore : public QObject {
    Q_OBJECT
private slots:
    void failedWriteKeepsEverySection_data()
    {
        QTest::addColumn<int>("atReload");
        QTest::newRow("a folder in the file's place") << int(AtReload::Folder);
        QTest::newRow("a file not in INI form") << int(AtReload::NotIni);
        QTest::newRow("the file gone") << int(AtReload::Gone);
    }

    // What the staff window does: the Pass section rewritten, the write
    // fails, the store reloads, and later a write succeeds.
    void failedWriteKeepsEverySection()
    {
        QFETCH(int, atReload);
        QTemporaryDir dir;
        const QString path = dir.filePath("Quolmar.ini");
        SettingsStore store(path);
        store.setValue("Pass", "cnt", "1");
        store.setValue("Pass", "user1", "Administrator,2,管理者,pw");
        store.setValue("Option", "backup_on_off", "1");
        QVERIFY(store.commit());

        // The file cannot be replaced: a folder stands in its place.
        QVERIFY(QFile::remove(path));
        QVERIFY(QDir().mkdir(path));
        store.removeSection("Pass");
        store.setValue("Pass", "cnt", "2");
        store.setValue("Pass", "user1", "Administrator,2,管理者,pw");
        store.setValue("Pass", "user2", "nurse,1,看護師,pw2");
        QString why;
        QVERIFY(!store.commit(&why));
        QVERIFY(why.startsWith(QStringLiteral("設定を保存できませんでした。\r")));
        // The failure itself changes nothing the store holds.
        QCOMPARE(store.value("Pass", "cnt"), QStringLiteral("2"));
        QCOMPARE(store.value("Option", "backup_on_off"), QStringLiteral("1"));

        switch (AtReload(atReload)) {
        case AtReload::Folder:
            break;
        case AtReload::NotIni:
            QVERIFY(QDir().rmdir(path));
            QVERIFY(writeFile(path, "[Pass\ncnt\n"));
            break;
        case AtReload::Gone:
            QVERIFY(QDir().rmdir(path));
            break;
        }
        store.reload();
        // Back to what was last written, not to nothing.
        QCOMPARE(store.value("Pass", "cnt"), QStringLiteral("1"));
        QCOMPARE(store.value("Pass", "user1"), QStringLiteral("Administrator,2,管理者,pw"));
        QVERIFY(!store.contains("Pass", "user2"));
        QCOMPARE(store.value("Option", "backup_on_off"), QStringLiteral("1"));

        // The next write that succeeds holds every section.
        QFileInfo fi(path);
        if (fi.isDir())
            QVERIFY(QDir().rmdir(path));
        else if (fi.exists())
            QVERIFY(QFile::remove(path));
        store.setValue("Pass", "cnt", "1");
        QVERIFY(store.commit());
        SettingsStore reread(path);
        QCOMPARE(reread.value("Option", "backup_on_off"), QStringLiteral("1"));
        QCOMPARE(reread.value("Pass", "user1"), QStringLiteral("Administrator,2,管理者,pw"));
    }

    void unreadableFileIsNeverReplaced_data()
    {
        QTest::addColumn<QByteArray>("content"); // empty: a folder at the path
        QTest::newRow("a folder in the file's place") << QByteArray();
        QTest::newRow("a file not in INI form") << QByteArray("[Pass\ncnt\n");
    }

    void unreadableFileIsNeverReplaced()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const QString path = dir.filePath("Quolmar.ini");
        if (content.isEmpty())
            QVERIFY(QDir().mkdir(path));
        else
            QVERIFY(writeFile(path, content));

        SettingsStore store(path);
        store.setValue("Pass", "cnt", "1");
        QString why;
        QVERIFY(!store.commit(&why));
        QCOMPARE(why, QStringLiteral("設定を保存できませんでした。\r") + path);
        if (content.isEmpty()) {
            QVERIFY(QFileInfo(path).isDir());
        } else {
            QFile f(path);
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), content);
        }
    }
};

QTEST_GUILESS_MAIN(TestSettingsStore)
#include "tst_settingsstore.moc"
