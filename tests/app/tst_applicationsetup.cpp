#include <QApplication>
#include <QDialogButtonBox>
#include <QIcon>
#include <QImage>
#include <QMessageBox>
#include <QPushButton>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

#include "app/applicationsetup.h"
#include "ui/messageboxprompter.h"

using namespace velto;

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
