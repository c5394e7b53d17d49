#include <QtTest>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include "backup/codepagenames.h"
#include "core/textfile.h"
#include "support/fixtures.h"
#include "support/patients.h"
#include "support/testcontext.h"

using namespace velto;
using velto::test::TestContext;

namespace {

using velto::test::cp932;
using velto::test::putRaw;

using test::Sato;

// "name=content" for every file, by the bytes of the names.
QList<QByteArray> contents(const QString &dir)
{
    QList<QByteArray> out;
    if (DIR *d = ::opendir(QFile::encodeName(dir).constData())) {
        while (const dirent *e = ::readdir(d)) {
            const QByteArray name(e->d_name);
            QFile f;
            const int fd = ::open((QFile::encodeName(dir) + '/' + name).constData(), O_RDONLY);
            if (e->d_type == DT_REG && fd >= 0 && f.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
                out << name + '=' + f.readAll();
            else if (fd >= 0)
                ::close(fd);
        }
        ::closedir(d);
    }
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

// Records a Windows PC named in code page 932 bytes get their UTF-8 names at
// start-up, so the board, the record window and the backup find them.
class TstCodePageNames : public QObject {
    Q_OBJECT

private slots:
    void startUpRenames_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("twin"); // the UTF-8 name exists too
        QTest::addColumn<QList<QByteArray>>("after");
        QTest::addColumn<QString>("message");
        const QByteArray utf8 = QFile::encodeName(Sato);
        QTest::newRow("DB")
            << "DB" << false << QList<QByteArray> {utf8 + "=old"}
            << QStringLiteral(
                   "次の患者情報は、ファイル名の文字コードが異なっていたため、ファイル名を変更しました。\rDB/")
                   + Sato;
        QTest::newRow("DB/Out")
            << "DB/Out" << false << QList<QByteArray> {utf8 + "=old"}
            << QStringLiteral(
                   "次の患者情報は、ファイル名の文字コードが異なっていたため、ファイル名を変更しました。\rDB/Out/")
                   + Sato;
        QTest::newRow("both names")
            << "DB" << true << QList<QByteArray> {cp932(Sato) + "=old", utf8 + "=new"}
            << QStringLiteral(
                   "次の患者情報は、文字コードの異なる同じ名前のファイルが2つあるため、どちらも変更していません。\r"
                   "内容を確認してください。\rDB/")
                   + Sato + QStringLiteral("\rDB/") + Sato + QStringLiteral("（文字コード932の名前）");
        // Snapshots are only read: they keep their names.
        QTest::newRow("snapshot") << "BackUp/令和08年12月01日" << false << QList<QByteArray> {cp932(Sato) + "=old"}
                                  << QString();
    }
    void startUpRenames()
    {
        QFETCH(QString, folder);
        QFETCH(bool, twin);
        QFETCH(QList<QByteArray>, after);
        QFETCH(QString, message);
        TestContext t;
        t.makeFolders();
        putRaw(t.path(folder), cp932(Sato), "old");
        if (twin)
            putRaw(t.path(folder), QFile::encodeName(Sato), "new");
        putRaw(t.path(folder), "ROOM.WBD", "layout");
        after << "ROOM.WBD=layout";
        std::sort(after.begin(), after.end());

        repairDataFolders(t.ctx);
        QCOMPARE(contents(t.path(folder)), after);
        if (message.isEmpty()) {
            QVERIFY(t.prompter.asked.isEmpty());
        } else {
            QCOMPARE(t.prompter.asked.size(), 1);
            QCOMPARE(t.prompter.asked.first().kind, DialogKind::Info);
            QCOMPARE(t.prompter.asked.first().text, message);
        }
    }
};

QTEST_GUILESS_MAIN(TstCodePageNames)
#include "tst_codepagenames.moc"
