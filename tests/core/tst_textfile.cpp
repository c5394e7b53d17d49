#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "core/textfile.h"

using namespace velto;

namespace {

QByteArray hex(const char *h)
{
    return QByteArray::fromHex(h);
}

QByteArray fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void putBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(f.write(bytes), bytes.size());
}

} // namespace

class TstTextFile : public QObject {
    Q_OBJECT

private slots:
    void converterIsUsable();
    void roundTrip_data();
    void roundTrip();
    void inputMethodChars_data();
    void inputMethodChars();
    void writesCrLfOnEveryLine_data();
    void writesCrLfOnEveryLine();
    void readsLines_data();
    void readsLines();
    void refusesUnwritableLines_data();
    void refusesUnwritableLines();
    void refusesUndecodableFiles_data();
    void refusesUndecodableFiles();
    void badLineLeavesTheOthers_data();
    void badLineLeavesTheOthers();
    void refusalNamesFieldAndCodePoints_data();
    void refusalNamesFieldAndCodePoints();
    void newFilesFollowTheUmask_data();
    void newFilesFollowTheUmask();
    void missingFileOrFolder();
    void diskFullKeepsOldFile();

private:
    QTemporaryDir m_dir;
};

void TstTextFile::converterIsUsable()
{
    QString why;
    QVERIFY2(textfile::converterUsable(&why), qPrintable(why));
}

// Bytes as Windows writes them (checked against the CP932 table).
void TstTextFile::roundTrip_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("fullwidth hyphen-minus") << QStringLiteral("－") << hex("817c");
    QTest::newRow("fullwidth tilde") << QStringLiteral("～") << hex("8160");
    QTest::newRow("circled one") << QStringLiteral("①") << hex("8740");
    QTest::newRow("litre") << QStringLiteral("㍑") << hex("8767");
    QTest::newRow("cm") << QStringLiteral("㎝") << hex("8770");
    QTest::newRow("kg") << QStringLiteral("㎏") << hex("8773");
    QTest::newRow("half-width katakana") << QStringLiteral("ｱｶﾞｰ") << hex("b1b6deb0");
    QTest::newRow("parallel, cent, pound, not") << QStringLiteral("∥￠￡￢")
                                                << hex("816181918192"
                                                       "81ca");
    QTest::newRow("trail byte 5C") << QStringLiteral("表") << hex("955c");
    QTest::newRow("IBM extensions") << QStringLiteral("ⅰ髙") << hex("fa40fbfc");
    QTest::newRow("ASCII and kanji") << QStringLiteral("A1:佐藤") << hex("41313a8db293a1");
}

void TstTextFile::roundTrip()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QByteArray encoded;
    QString error;
    QVERIFY2(textfile::encode(text, &encoded, &error), qPrintable(error));
    QCOMPARE(encoded.toHex(), bytes.toHex());

    QString decoded;
    QVERIFY2(textfile::decode(bytes, &decoded, &error), qPrintable(error));
    QCOMPARE(decoded, text);
}

// What Linux input methods type is stored as the character Windows types.
void TstTextFile::inputMethodChars_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("wave dash") << QStringLiteral("\u301C") << QStringLiteral("\uFF5E") << hex("8160");
    QTest::newRow("minus") << QStringLiteral("\u2212") << QStringLiteral("\uFF0D") << hex("817c");
    QTest::newRow("double vertical line") << QStringLiteral("\u2016") << QStringLiteral("\u2225") << hex("8161");
    QTest::newRow("cent") << QStringLiteral("\u00A2") << QStringLiteral("\uFFE0") << hex("8191");
    QTest::newRow("pound") << QStringLiteral("\u00A3") << QStringLiteral("\uFFE1") << hex("8192");
    QTest::newRow("not") << QStringLiteral("\u00AC") << QStringLiteral("\uFFE2") << hex("81ca");
    QTest::newRow("in a sentence") << QStringLiteral("9\u301C10時") << QStringLiteral("9\uFF5E10時")
                                   << hex("39816031308e9e");
}

void TstTextFile::inputMethodChars()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QFETCH(QByteArray, bytes);

    const QString path = m_dir.filePath(QStringLiteral("im.txt"));
    QString error;
    QVERIFY2(textfile::writeLines(path, {typed}, &error), qPrintable(error));
    QCOMPARE(fileBytes(path).toHex(), (bytes + "\r\n").toHex());

    QStringList lines;
    QVERIFY2(textfile::readLines(path, &lines, &error), qPrintable(error));
    QCOMPARE(lines, QStringList {stored});
}

void TstTextFile::writesCrLfOnEveryLine_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("no lines") << QStringList {} << QByteArray();
    QTest::newRow("one empty line") << QStringList {QString()} << QByteArray("\r\n");
    QTest::newRow("empty lines kept") << QStringList {QStringLiteral("001:a"), QString(), QString()}
                                      << QByteArray("001:a\r\n\r\n\r\n");
    QTest::newRow("Japanese") << QStringList {QStringLiteral("表"), QStringLiteral("～")} << hex("955c0d0a81600d0a");
}

void TstTextFile::writesCrLfOnEveryLine()
{
    QFETCH(QStringList, lines);
    QFETCH(QByteArray, bytes);

    // Replaces a longer old file completely.
    const QString path = m_dir.filePath(QStringLiteral("lines.txt"));
    putBytes(path, QByteArray(500, 'x'));

    QString error;
    QVERIFY2(textfile::writeLines(path, lines, &error), qPrintable(error));
    QCOMPARE(fileBytes(path).toHex(), bytes.toHex());

    QStringList back {QStringLiteral("stale")};
    QVERIFY2(textfile::readLines(path, &back, &error), qPrintable(error));
    QCOMPARE(back, lines);
}

void TstTextFile::readsLines_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty file") << QByteArray() << QStringList {};
    QTest::newRow("last line without CR LF") << QByteArray("a\r\nb") << QStringList {"a", "b"};
    QTest::newRow("single line without CR LF") << QByteArray("abc") << QStringList {"abc"};
    QTest::newRow("trailing empty line") << QByteArray("a\r\n\r\n") << QStringList {"a", ""};
    QTest::newRow("Shift_JIS trail byte 5C") << hex("955c0d0a8160") << QStringList {"表", "～"};
    // Files edited on other systems: every line end counts as one.
    QTest::newRow("LF only") << QByteArray("a\nb\n\nc\n") << QStringList {"a", "b", "", "c"};
    QTest::newRow("lone CR") << QByteArray("a\rb\r") << QStringList {"a", "b"};
    QTest::newRow("mixed ends") << QByteArray("a\r\nb\nc\rd") << QStringList {"a", "b", "c", "d"};
    QTest::newRow("LF after a trail byte") << hex("955c0a81600a") << QStringList {"表", "～"};
}

void TstTextFile::readsLines()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);

    const QString path = m_dir.filePath(QStringLiteral("read.txt"));
    putBytes(path, bytes);
    QStringList got;
    QString error;
    QVERIFY2(textfile::readLines(path, &got, &error), qPrintable(error));
    QCOMPARE(got, lines);
}

void TstTextFile::refusesUnwritableLines_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("named");
    QTest::newRow("surrogate pair kanji") << QStringLiteral("山田\U00020BB7子") << QStringList {"\U00020BB7"};
    QTest::newRow("accented latin") << QStringLiteral("café") << QStringList {"é"};
    QTest::newRow("emoji") << QStringLiteral("元気\U0001F600") << QStringList {"\U0001F600"};
    QTest::newRow("several") << QStringLiteral("é\U0001F600é") << QStringList {"é", "\U0001F600"};
    QTest::newRow("yen sign") << QStringLiteral("\u00A5100") << QStringList {"\u00A5"};
    QTest::newRow("lone surrogate") << QString(QChar(0xD842)) << QStringList {"U+D842"};
    // A break inside a value would shift every later line of a keyed file.
    QTest::newRow("line feed") << QStringLiteral("a\nb") << QStringList {"改行"};
    QTest::newRow("carriage return") << QStringLiteral("a\rb") << QStringList {"改行"};
}

void TstTextFile::refusesUnwritableLines()
{
    QFETCH(QString, line);
    QFETCH(QStringList, named);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("keep.txt"));
    const QByteArray old = hex("3030303a8db293a10d0a"); // "000:佐藤" CR LF
    putBytes(path, old);

    QString error;
    QVERIFY(!textfile::writeLines(path, {QStringLiteral("001:ok"), line}, &error));
    for (const QString &n : named)
        QVERIFY2(error.contains(n), qPrintable(error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
    QCOMPARE(fileBytes(path), old);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {"keep.txt"});

    // The encoder alone refuses the same characters (line breaks aside).
    if (!named.contains(QStringLiteral("改行"))) {
        QByteArray out("untouched");
        QVERIFY(!textfile::encode(line, &out, &error));
        QVERIFY(error.contains(QStringLiteral("保存できません")));
    }
}

void TstTextFile::refusesUndecodableFiles_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("lone lead byte at end") << QByteArray("ok\r\nab\x81");
    QTest::newRow("unassigned single byte") << QByteArray("a\x80z");
    QTest::newRow("byte FF") << QByteArray("\xff\r\n");
    QTest::newRow("unassigned double byte") << hex("85400d0a");
    QTest::newRow("lead byte before CR LF") << QByteArray("a\x81\r\nb\r\n");
}

void TstTextFile::refusesUndecodableFiles()
{
    QFETCH(QByteArray, bytes);

    QString text;
    QString error;
    QVERIFY(!textfile::decode(bytes, &text, &error));
    QVERIFY(!error.isEmpty());

    const QString path = m_dir.filePath(QStringLiteral("bad.txt"));
    putBytes(path, bytes);
    QStringList lines {QStringLiteral("stale")};
    error.clear();
    QVERIFY(!textfile::readLines(path, &lines, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(path)), qPrintable(error));
}

void TstTextFile::badLineLeavesTheOthers_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<int>>("bad");
    const QString sato = QStringLiteral("000:佐藤");
    QTest::newRow("a byte no character starts with")
        << QByteArray("000:\x8d\xb2\x93\xa1\r\n001:a\xff"
                      "b\r\n002:c\r\n")
        << QStringList {sato, QString(), QStringLiteral("002:c")} << QList<int> {2};
    // The file is decoded whole when it can be: a lead byte before the line
    // end must not take the end, or the next line, into its character.
    QTest::newRow("a lead byte before LF") << QByteArray("000:\x8d\xb2\x93\xa1\n001:\x81\n002:c")
                                           << QStringList {sato, QString(), QStringLiteral("002:c")} << QList<int> {2};
    QTest::newRow("a lead byte before a lone CR, last line damaged")
        << QByteArray("001:\x81\r002:\x8d\xb2\r\n003:\x85\x40")
        << QStringList {QString(), QStringLiteral("002:佐"), QString()} << QList<int> {1, 3};
}

void TstTextFile::badLineLeavesTheOthers()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, lines);
    QFETCH(QList<int>, bad);
    const QString path = m_dir.filePath(QStringLiteral("oneBad.txt"));
    putBytes(path, bytes);
    QStringList read;
    QList<int> badRead;
    QString error;
    QVERIFY(textfile::readLinesEach(path, &read, &badRead, &error));
    QCOMPARE(read, lines);
    QCOMPARE(badRead, bad);
    // The whole-file reader refuses it, naming the first bad line.
    QVERIFY(!textfile::readLines(path, &read, &error));
    QVERIFY2(error.contains(QStringLiteral("%1行目").arg(bad.first())), qPrintable(error));
}

void TstTextFile::refusalNamesFieldAndCodePoints_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("named"); // empty: the value can be stored
    QTest::newRow("kanji beyond the code page")
        << QStringLiteral("\U00020BB7田") << QStringLiteral("\U00020BB7（U+20BB7）");
    QTest::newRow("accented latin") << QStringLiteral("Café") << QStringLiteral("é（U+00E9）");
    QTest::newRow("invisible") << QStringLiteral("a\u200Bb") << QStringLiteral("U+200B");
    QTest::newRow("circled digit is held") << QStringLiteral("①号室") << QString();
    QTest::newRow("typed wave dash is held") << QStringLiteral("1\u301C2") << QString();
}

void TstTextFile::refusalNamesFieldAndCodePoints()
{
    QFETCH(QString, value);
    QFETCH(QString, named);
    const QString text = textfile::fieldRefusal(QStringLiteral("部屋番号"), value);
    if (named.isEmpty()) {
        QCOMPARE(text, QString());
        return;
    }
    QVERIFY2(text.startsWith(QStringLiteral("部屋番号に保存できない文字があります。\r")), qPrintable(text));
    QVERIFY2(text.contains(named), qPrintable(text));
}

void TstTextFile::newFilesFollowTheUmask_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("groupShared");
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("folderMode");
    QTest::newRow("umask 022") << 022 << false << 0644 << 0755;
    QTest::newRow("umask 077") << 077 << false << 0600 << 0700;
    QTest::newRow("umask 002") << 002 << false << 0664 << 0775;
    // A folder shared through its group: every member must be able to write.
    QTest::newRow("group folder, umask 077") << 077 << true << 0660 << 02770;
    QTest::newRow("group folder, umask 022") << 022 << true << 0660 << 02770;
}

void TstTextFile::newFilesFollowTheUmask()
{
    QFETCH(int, mask);
    QFETCH(bool, groupShared);
    QFETCH(int, fileMode);
    QFETCH(int, folderMode);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString data = dir.filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkpath(data));
    QVERIFY(::chmod(QFile::encodeName(data).constData(), groupShared ? 02770 : 0777) == 0);
    const mode_t old = ::umask(mode_t(mask));
    QString error;
    const bool wrote = textfile::writeLines(data + QStringLiteral("/new.txt"), {QStringLiteral("a")}, &error);
    textfile::Change change(data);
    change.write(data + QStringLiteral("/a.txt"), "a\r\n");
    const bool changed = change.commit(&error);
    const bool made = textfile::makeDataFolder(data + QStringLiteral("/Out/sub"));
    ::umask(old);
    QVERIFY2(wrote && changed && made, qPrintable(error));
    auto modeOf = [](const QString &p) {
        struct stat st;
        return ::stat(QFile::encodeName(p).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
    };
    QCOMPARE(modeOf(data + QStringLiteral("/new.txt")), fileMode);
    QCOMPARE(modeOf(data + QStringLiteral("/a.txt")), fileMode);
    QCOMPARE(modeOf(data + QStringLiteral("/Out")), folderMode);
    QCOMPARE(modeOf(data + QStringLiteral("/Out/sub")), folderMode);
    // A replaced file keeps the mode it had.
    QVERIFY(::chmod(QFile::encodeName(data + QStringLiteral("/new.txt")).constData(), 0640) == 0);
    QVERIFY(textfile::writeLines(data + QStringLiteral("/new.txt"), {QStringLiteral("b")}, &error));
    QCOMPARE(modeOf(data + QStringLiteral("/new.txt")), groupShared ? 0660 : 0640);
}

void TstTextFile::missingFileOrFolder()
{
    const QString missing = m_dir.filePath(QStringLiteral("none.txt"));
    QStringList lines;
    QString error;
    QVERIFY(!textfile::readLines(missing, &lines, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(missing)), qPrintable(error));

    const QString noFolder = m_dir.filePath(QStringLiteral("nofolder/x.txt"));
    error.clear();
    QVERIFY(!textfile::writeLines(noFolder, {QStringLiteral("a")}, &error));
    QVERIFY2(error.contains(QDir::toNativeSeparators(noFolder)), qPrintable(error));
    QVERIFY(!QFile::exists(noFolder));
}

// A full disk cuts a write short; the old file must stay whole and the
// failure must be reported. The child process writes under a small file
// size limit (RLIMIT_FSIZE) so that the write really fails part way.
void TstTextFile::diskFullKeepsOldFile()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("ROOM.WBD"));
    const QByteArray old = hex("8db293a15f88ea98590d0a0d0a"); // "佐藤_一郎" CR LF CR LF
    putBytes(path, old);

    QStringList lines;
    for (int i = 0; i < 2000; ++i)
        lines << QStringLiteral("%1:経過記録～①㍑ 長い行で書き込みを途中で止める").arg(i, 3, 10, QLatin1Char('0'));

    const pid_t pid = fork();
    QVERIFY(pid >= 0);
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit {4096, 4096};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0)
            _exit(3);
        QString error;
        const bool ok = textfile::writeLines(path, lines, &error);
        if (ok)
            _exit(1);
        _exit(error.contains(QDir::toNativeSeparators(path)) ? 0 : 2);
    }
    int status = 0;
    QCOMPARE(waitpid(pid, &status, 0), pid);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0); // 1: success reported, 2: error without the file name
    QCOMPARE(fileBytes(path).toHex(), old.toHex());
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList {"ROOM.WBD"});

    // Without the limit the same write goes through.
    QString error;
    QVERIFY2(textfile::writeLines(path, lines, &error), qPrintable(error));
    QStringList back;
    QVERIFY2(textfile::readLines(path, &back, &error), qPrintable(error));
    QCOMPARE(back, lines);
}

QTEST_GUILESS_MAIN(TstTextFile)
#include "tst_textfile.moc"
