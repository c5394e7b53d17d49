// Where the ward's data is: beside the program, or the folder the settings
// name, which is checked and never created.
#include <QtTest>

#include "core/settingsstore.h"
#include "core/wardlocation.h"

#include <sys/stat.h>
#include <unistd.h>

using namespace velto;

class TestWardLocation : public QObject {
    Q_OBJECT

private slots:
    void locate_data()
    {
        QTest::addColumn<QString>("user");   // the user's [Ward] folder= ("-": absent)
        QTest::addColumn<QString>("system"); // the system-wide one ("-": no file)
        QTest::addColumn<QString>("folder"); // expected data folder ("" when refused)
        QTest::addColumn<bool>("named");
        QTest::addColumn<QString>("error");
        // %T: the test's folder; %P: the program's folder.
        QTest::newRow("absent: beside the program") << "-"
                                                    << "-"
                                                    << "%P" << false << "";
        QTest::newRow("empty: beside the program") << ""
                                                   << "-"
                                                   << "%P" << false << "";
        QTest::newRow("absolute") << "%T/ward"
                                  << "-"
                                  << "%T/ward" << true << "";
        QTest::newRow("absolute, untidy") << "%T//ward/"
                                          << "-"
                                          << "%T/ward" << true << "";
        QTest::newRow("relative") << "ward"
                                  << "-"
                                  << "" << true << "データフォルダは絶対パスで指定してください。\rward";
        QTest::newRow("missing folder") << "%T/share"
                                        << "-"
                                        << "" << true << "データフォルダが見つかりません。\r%T/share";
        QTest::newRow("folder without its DB (a mount point)")
            << "%T/empty"
            << "-"
            << "" << true << "データフォルダが見つかりません。\r%T/empty/DB";
        QTest::newRow("a file in its place")
            << "%T/file"
            << "-"
            << "" << true << "データフォルダの場所にフォルダ以外のものがあります。\r%T/file";
        QTest::newRow("not writable") << "%T/locked"
                                      << "-"
                                      << "" << true << "データフォルダに書き込む権限がありません。\r%T/locked";
        QTest::newRow("system default") << "-"
                                        << "%T/ward"
                                        << "%T/ward" << true << "";
        QTest::newRow("system default, user's key wins") << "%T/other"
                                                         << "%T/ward"
                                                         << "%T/other" << true << "";
        QTest::newRow("system default, user's empty key wins") << ""
                                                               << "%T/ward"
                                                               << "%P" << false << "";
        QTest::newRow("system default missing") << "-"
                                                << "%T/share"
                                                << "" << true << "データフォルダが見つかりません。\r%T/share";
    }
    void locate()
    {
        QFETCH(QString, user);
        QFETCH(QString, system);
        QFETCH(QString, folder);
        QFETCH(bool, named);
        QFETCH(QString, error);
        if (QByteArray(QTest::currentDataTag()) == "not writable" && ::geteuid() == 0)
            QSKIP("root writes in any folder (the package check runs this case as a user outside the group)");
        QTemporaryDir t;
        const QString program = t.filePath("program");
        QVERIFY(QDir().mkpath(t.filePath("ward/DB")) && QDir().mkpath(t.filePath("other/DB"))
                && QDir().mkpath(program));
        QVERIFY(QDir().mkpath(t.filePath("empty")));
        QVERIFY(QDir().mkpath(t.filePath("locked")));
        QVERIFY(QFile::setPermissions(t.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner));
        QFile file(t.filePath("file"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        const auto fill = [&](QString s) { return s.replace("%T", t.path()).replace("%P", program); };

        SettingsStore settings(t.filePath("Quolmar.ini"));
        if (user != "-")
            settings.setValue(wardkey::Section, wardkey::Folder, fill(user));
        QMap<QString, QString> defaults;
        if (system != "-") {
            const QString etc = t.filePath("velto.ini");
            QFile f(etc);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("; the ward's shared folder\r\n[Ward]\r\nfolder=" + fill(system).toUtf8() + "\r\n");
            f.close();
            QString message;
            QVERIFY2(readWardDefaults(etc, &defaults, &message), qPrintable(message));
        }
        const WardLocation w = locateWard(settings, defaults, program);
        QCOMPARE(w.error, fill(error));
        if (error.isEmpty())
            QCOMPARE(w.dataFolder, fill(folder));
        QCOMPARE(w.named, named);
        // Nothing is created on the way.
        QVERIFY(!QFileInfo::exists(t.filePath("share")));
        QCOMPARE(QDir(t.filePath("empty")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                 QStringList());
        QFile::setPermissions(t.filePath("locked"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    // The system-wide file is only read: its rights stay as the package set
    // them, and one that cannot be read ends the start with its name.
    void systemDefaultsAreReadOnly()
    {
        QTemporaryDir t;
        const QString etc = t.filePath("velto.ini");
        QFile f(etc);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("[Ward]\r\nfolder=/var/lib/velto\r\ndatabase=host=db1 dbname=ward\r\n[Pass]\r\ncnt=9\r\n");
        f.close();
        QVERIFY(QFile::setPermissions(etc, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther));
        QMap<QString, QString> defaults;
        QString message;
        QVERIFY(readWardDefaults(etc, &defaults, &message));
        QCOMPARE(defaults,
                 (QMap<QString, QString> {{"folder", "/var/lib/velto"}, {"database", "host=db1 dbname=ward"}}));
        QCOMPARE(QFile::permissions(etc) & (QFile::ReadGroup | QFile::ReadOther), QFile::ReadGroup | QFile::ReadOther);

        QVERIFY(readWardDefaults(t.filePath("none.ini"), &defaults, &message));
        QVERIFY(defaults.isEmpty());
        QVERIFY(QDir().mkpath(t.filePath("folder.ini")));
        QVERIFY(!readWardDefaults(t.filePath("folder.ini"), &defaults, &message));
        QVERIFY2(message.contains(t.filePath("folder.ini")), qPrintable(message));
    }
};

QTEST_GUILESS_MAIN(TestWardLocation)
#include "tst_wardlocation.moc"
