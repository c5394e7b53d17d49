#include <QApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

#include "app/applicationsetup.h"
#include "support/files.h"
#include "ui/messageboxprompter.h"

using namespace velto;

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out, err;
};

// The built program, run without any display: a start that reached the
// window system would fail instead of answering.
ProgramRun runProgram(const QStringList &args, const QString &configDir)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configDir);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(qEnvironmentVariable("VELTO_PROGRAM"), args);
    ProgramRun run;
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

} // namespace

// What main() sets up before the first window: Qt's own buttons in Japanese,
// the compiled-in icons, the program's name and locale.
class TestApplicationSetup : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { setUpApplication(*qApp); }

    void standardButtonsSpeakJapanese_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QString>("text");
        QTest::newRow("yes") << int(QDialogButtonBox::Yes) << QStringLiteral("はい");
        QTest::newRow("no") << int(QDialogButtonBox::No) << QStringLiteral("いいえ");
        QTest::newRow("cancel") << int(QDialogButtonBox::Cancel) << QStringLiteral("キャンセル");
    }
    void standardButtonsSpeakJapanese()
    {
        QFETCH(int, button);
        QFETCH(QString, text);
        QDialogButtonBox box(QDialogButtonBox::Yes | QDialogButtonBox::No | QDialogButtonBox::Cancel);
        const QPushButton *b = box.button(QDialogButtonBox::StandardButton(button));
        QVERIFY(b);
        // The translation carries a mnemonic: "はい(&Y)".
        QCOMPARE(b->text().remove('&').left(text.size()), text);
    }

    void messageBoxesSpeakJapanese()
    {
        std::unique_ptr<QMessageBox> box(MessageBoxPrompter::build(DialogKind::WarnYesNo, "?"));
        box->show();
        QCOMPARE(box->button(QMessageBox::Yes)->text().remove('&').left(2), QStringLiteral("はい"));
        QCOMPARE(box->button(QMessageBox::No)->text().remove('&').left(3), QStringLiteral("いいえ"));
    }

    // Every icon the program's resource file lists is compiled in and loads.
    void iconsAreCompiledIn()
    {
        QFile qrc(qEnvironmentVariable("VELTO_SOURCE_DIR") + "/resources/velto.qrc");
        QVERIFY2(qrc.open(QIODevice::ReadOnly), qPrintable(qrc.fileName()));
        QStringList paths;
        for (QXmlStreamReader xml(&qrc); !xml.atEnd();)
            if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("file"))
                paths << QStringLiteral(":/") + xml.readElementText();
        QVERIFY(paths.size() > 1);
        for (const QString &path : paths)
            QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }

    // velto --help: every option and where the settings are, on stdout; it
    // neither needs a display nor makes a settings file.
    void helpNamesOptionsAndSettings()
    {
        QVERIFY2(QFileInfo(qEnvironmentVariable("VELTO_PROGRAM")).isExecutable(), "VELTO_PROGRAM");
        QTemporaryDir config;
        const ProgramRun run = runProgram({QStringLiteral("--help")}, config.path());
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QString());
        QVERIFY2(run.out.startsWith(QStringLiteral("Usage: velto [OPTION]\n")), qPrintable(run.out));
        for (const QString &item : {QStringLiteral("\n  --help "), QStringLiteral("\n  --version "),
                                    QStringLiteral("\n  --import-folder DIR "), QStringLiteral("\n  --export-folder DIR "),
                                    QStringLiteral("\n  --check "), QStringLiteral("\n  [Ward] folder="),
                                    QStringLiteral("\n  [Ward] database="),
                                    QStringLiteral("\nSettings file: %1/Quolmar.ini\n").arg(config.path())})
            QVERIFY2(run.out.contains(item), qPrintable(item));
        QCOMPARE(test::filesUnder(config.path()), QStringList());
    }

    // The other answers given before any window: the version, and an unknown
    // option refused with the usage on stderr, wherever it stands.
    void commandLineAnswers_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::addColumn<bool>("usageFollows");
        QTest::newRow("version") << QStringList{"--version"} << 0 << QStringLiteral("velto " VELTO_VERSION "\n")
                                 << QString() << false;
        const QString unknown = QStringLiteral("velto: unknown option --frobnicate\n\n");
        QTest::newRow("unknown option") << QStringList{"--frobnicate"} << 2 << QString() << unknown << true;
        QTest::newRow("unknown beside --help") << QStringList{"--help", "--frobnicate"} << 2 << QString() << unknown
                                               << true;
        QTest::newRow("unknown after a folder")
            << QStringList{"--export-folder", "ward", "--frobnicate"} << 2 << QString() << unknown << true;
    }
    void commandLineAnswers()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        QFETCH(bool, usageFollows);
        QTemporaryDir config;
        const QString usage = runProgram({QStringLiteral("--help")}, config.path()).out;
        QVERIFY(!usage.isEmpty());
        const ProgramRun run = runProgram(args, config.path());
        QCOMPARE(run.exitCode, exitCode);
        QCOMPARE(run.out, out);
        QCOMPARE(run.err, usageFollows ? err + usage : err);
    }

    void namesTheProgramWithItsIcon()
    {
        QCOMPARE(QApplication::applicationName(), QStringLiteral("Velto"));
        QVERIFY(!QApplication::windowIcon().isNull());
        QCOMPARE(QApplication::windowIcon().pixmap(32).toImage(),
                 QIcon(QStringLiteral(":/icons/velto.png")).pixmap(32).toImage());
        QCOMPARE(QLocale().language(), QLocale::Japanese);
        QCOMPARE(QLocale().territory(), QLocale::Japan);
    }
};

QTEST_MAIN(TestApplicationSetup)
#include "tst_applicationsetup.moc"
