#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSet>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QtTest>

#include "ui/helpviewer.h"

using velto::HelpViewer;

namespace {

QString helpDir()
{
    return qEnvironmentVariable("VELTO_SOURCE_DIR") + QStringLiteral("/help");
}

QString readUtf8(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Link targets and anchor names as the viewer's own HTML engine sees them.
void scan(const QString &path, QStringList *hrefs, QSet<QString> *anchors)
{
    QTextDocument doc;
    doc.setHtml(readUtf8(path));
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next()) {
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (hrefs && !f.anchorHref().isEmpty() && !hrefs->contains(f.anchorHref()))
                hrefs->append(f.anchorHref());
            if (anchors)
                for (const QString &a : f.anchorNames())
                    anchors->insert(a);
        }
    }
}

// Empty when "page#anchor" (relative to from's page) leads to a real page
// and anchor; otherwise what is wrong.
QString checkTarget(const QString &fromPage, const QString &target)
{
    const QString page = target.section('#', 0, 0);
    const QString anchor = target.section('#', 1);
    if (page.contains(':'))
        return target + " leaves the help folder";
    const QString file = page.isEmpty() ? fromPage : QDir(helpDir()).filePath(page);
    if (!QFileInfo(file).isFile())
        return target + ": no page";
    if (anchor.isEmpty())
        return QString();
    QSet<QString> anchors;
    scan(file, nullptr, &anchors);
    return anchors.contains(anchor) ? QString() : target + ": no anchor";
}

HelpViewer *viewerOf(QWidget *owner)
{
    const auto all = owner->findChildren<HelpViewer *>(QString(), Qt::FindDirectChildrenOnly);
    return all.size() == 1 ? all.first() : nullptr;
}

QString shownPage(HelpViewer *v)
{
    return QFileInfo(v->findChild<QTextBrowser *>("txtHelp")->source().toLocalFile()).fileName();
}

} // namespace

class TestHelpViewer : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY2(QFileInfo(helpDir() + "/index.html").isFile(), qPrintable(helpDir())); }

    void opensAtContentsAndNavigates()
    {
        QWidget owner;
        HelpViewer::showHelp(&owner, helpDir(), HelpViewer::Contents);
        HelpViewer *v = viewerOf(&owner);
        QVERIFY(v);
        QCOMPARE(v->objectName(), QString("frmHelp"));
        QCOMPARE(v->windowTitle(), QString("Veltoヘルプ"));
        QVERIFY(v->isVisible());
        auto *tabs = v->findChild<QTabWidget *>("tabHelp");
        auto *browser = v->findChild<QTextBrowser *>("txtHelp");
        QCOMPARE(tabs->currentWidget(), browser);
        QCOMPARE(shownPage(v), QString("index.html"));
        // The title only reads right when the page is decoded as UTF-8.
        QCOMPARE(browser->documentTitle(), QString("Veltoヘルプ 目次"));

        QVERIFY(v->openTarget("record.html#photo"));
        QCOMPARE(shownPage(v), QString("record.html"));
        auto *back = v->findChild<QPushButton *>("cmdBack");
        auto *forward = v->findChild<QPushButton *>("cmdForward");
        QVERIFY(back->isEnabled());
        QVERIFY(!forward->isEnabled());
        back->click();
        QCOMPARE(shownPage(v), QString("index.html"));
        QVERIFY(forward->isEnabled());
        forward->click();
        QCOMPARE(shownPage(v), QString("record.html"));
        QVERIFY(!v->openTarget("nosuchpage.html"));

        // A second request reuses the open window and moves it to the index.
        HelpViewer::showHelp(&owner, helpDir(), HelpViewer::Index);
        QCOMPARE(viewerOf(&owner), v);
        QCOMPARE(tabs->currentIndex(), 1);
    }

    void everyLinkResolves_data()
    {
        QTest::addColumn<QString>("page");
        const QStringList pages = QDir(helpDir()).entryList({"*.html"}, QDir::Files, QDir::Name);
        QVERIFY(pages.contains("index.html"));
        for (const QString &p : pages)
            QTest::newRow(qPrintable(p)) << p;
    }
    void everyLinkResolves()
    {
        QFETCH(QString, page);
        const QString path = QDir(helpDir()).filePath(page);
        QStringList hrefs;
        scan(path, &hrefs, nullptr);
        if (page == "index.html")
            QVERIFY(hrefs.size() >= 15);
        else
            QVERIFY2(hrefs.contains("index.html"), "every topic leads back to the contents");
        QStringList bad;
        for (const QString &h : hrefs) {
            const QString why = checkTarget(path, h);
            if (!why.isEmpty())
                bad << why;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join("; ")));
        // Every topic page is reachable from the contents.
        QStringList fromIndex;
        scan(QDir(helpDir()).filePath("index.html"), &fromIndex, nullptr);
        bool listed = page == "index.html";
        for (const QString &h : fromIndex)
            listed = listed || h.section('#', 0, 0) == page;
        QVERIFY2(listed, "page missing from the contents");
    }

    void indexListsKeywordsThatResolve()
    {
        QWidget owner;
        HelpViewer::showHelp(&owner, helpDir(), HelpViewer::Index);
        HelpViewer *v = viewerOf(&owner);
        QVERIFY(v);
        QCOMPARE(v->findChild<QTabWidget *>("tabHelp")->currentIndex(), 1);
        auto *edit = v->findChild<QLineEdit *>("txtKeyword");
        auto *list = v->findChild<QListWidget *>("lstKeyword");
        QVERIFY(edit->text().isEmpty());
        QVERIFY(list->count() >= 40);
        QCOMPARE(list->currentRow(), 0);

        QStringList bad;
        QSet<QString> seen;
        for (int i = 0; i < list->count(); ++i) {
            const QString kw = list->item(i)->text();
            if (seen.contains(kw))
                bad << kw + " twice";
            seen.insert(kw);
            const QString why = checkTarget(QString(), list->item(i)->data(Qt::UserRole).toString());
            if (!why.isEmpty())
                bad << kw + " -> " + why;
        }
        QVERIFY2(bad.isEmpty(), qPrintable(bad.join("; ")));

        // Typing the reading finds the keyword; Enter opens its page.
        // QTest::keyClicks takes Latin-1 only; send the kana as typed text.
        for (const QChar c : QStringLiteral("たいいん")) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QCoreApplication::sendEvent(edit, &press);
        }
        QCOMPARE(edit->text(), QString("たいいん"));
        QCOMPARE(list->currentItem()->text(), QString("退院"));
        QTest::keyClick(edit, Qt::Key_Return);
        QCOMPARE(v->findChild<QTabWidget *>("tabHelp")->currentIndex(), 0);
        QCOMPARE(shownPage(v), QString("discharge.html"));
    }

    void missingFolderShowsMessage_data()
    {
        QTest::addColumn<int>("start");
        QTest::newRow("contents") << int(HelpViewer::Contents);
        QTest::newRow("index") << int(HelpViewer::Index);
    }
    void missingFolderShowsMessage()
    {
        QFETCH(int, start);
        QTemporaryDir tmp;
        const QString missing = tmp.filePath("help");
        QWidget owner;
        HelpViewer::showHelp(&owner, missing, HelpViewer::Start(start));
        HelpViewer *v = viewerOf(&owner);
        QVERIFY(v);
        QVERIFY(!v->helpFound());
        auto *browser = v->findChild<QTextBrowser *>("txtHelp");
        QCOMPARE(v->findChild<QTabWidget *>("tabHelp")->currentWidget(), browser);
        const QString text = browser->toPlainText();
        QVERIFY2(text.contains("ヘルプが見つかりません"), qPrintable(text));
        QVERIFY(text.contains(QDir::toNativeSeparators(missing)));
        QVERIFY(!v->findChild<QPushButton *>("cmdContents")->isEnabled());
        QCOMPARE(v->findChild<QListWidget *>("lstKeyword")->count(), 0);
    }
};

QTEST_MAIN(TestHelpViewer)
#include "tst_helpviewer.moc"
