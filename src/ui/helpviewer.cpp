#include "ui/helpviewer.h"

#include <QCollator>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

namespace velto {

namespace {

const char kIndexPage[] = "index.html";
const char kKeywordFile[] = "keywords.txt";

// Katakana typed into the search box still finds the hiragana readings.
QString toHiragana(const QString &text)
{
    QString out = text;
    for (QChar &c : out) {
        const ushort u = c.unicode();
        if (u >= 0x30A1 && u <= 0x30F6)
            c = QChar(ushort(u - 0x60));
    }
    return out;
}

QString pageOf(const QString &target)
{
    return target.section(QLatin1Char('#'), 0, 0);
}
QString anchorOf(const QString &target)
{
    return target.section(QLatin1Char('#'), 1);
}

} // namespace

HelpViewer::HelpViewer(const QString &helpDir, QWidget *parent)
    : QDialog(parent)
    , m_dir(QDir::cleanPath(helpDir))
{
    setObjectName(QStringLiteral("frmHelp"));
    setWindowTitle(QStringLiteral("Veltoヘルプ"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);
    m_found = QFileInfo(QDir(m_dir).filePath(QLatin1String(kIndexPage))).isFile();
    buildUi();
    fillKeywords();
    resize(820, 640);
}

void HelpViewer::buildUi()
{
    auto *layout = new QVBoxLayout(this);

    auto *nav = new QHBoxLayout;
    m_back = new QPushButton(QStringLiteral("< 戻る(&B)"), this);
    m_back->setObjectName(QStringLiteral("cmdBack"));
    m_forward = new QPushButton(QStringLiteral("進む(&F) >"), this);
    m_forward->setObjectName(QStringLiteral("cmdForward"));
    m_home = new QPushButton(QStringLiteral("目次(&C)"), this);
    m_home->setObjectName(QStringLiteral("cmdContents"));
    for (QPushButton *b : {m_back, m_forward, m_home}) {
        b->setAutoDefault(false);
        nav->addWidget(b);
    }
    nav->addStretch();
    layout->addLayout(nav);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tabHelp"));
    layout->addWidget(m_tabs, 1);

    m_browser = new QTextBrowser(m_tabs);
    m_browser->setObjectName(QStringLiteral("txtHelp"));
    m_browser->setOpenExternalLinks(false);
    m_tabs->addTab(m_browser, QStringLiteral("目次"));

    auto *indexPage = new QWidget(m_tabs);
    indexPage->setObjectName(QStringLiteral("pageKeyword"));
    auto *indexLayout = new QVBoxLayout(indexPage);
    auto *prompt = new QLabel(QStringLiteral("キーワードを入力してください(&W):"), indexPage);
    m_keywordEdit = new QLineEdit(indexPage);
    m_keywordEdit->setObjectName(QStringLiteral("txtKeyword"));
    prompt->setBuddy(m_keywordEdit);
    m_keywordList = new QListWidget(indexPage);
    m_keywordList->setObjectName(QStringLiteral("lstKeyword"));
    m_show = new QPushButton(QStringLiteral("表示(&D)"), indexPage);
    m_show->setObjectName(QStringLiteral("cmdShow"));
    m_show->setAutoDefault(false);
    indexLayout->addWidget(prompt);
    indexLayout->addWidget(m_keywordEdit);
    indexLayout->addWidget(m_keywordList, 1);
    auto *showRow = new QHBoxLayout;
    showRow->addStretch();
    showRow->addWidget(m_show);
    indexLayout->addLayout(showRow);
    m_tabs->addTab(indexPage, QStringLiteral("キーワード"));

    connect(m_back, &QPushButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forward, &QPushButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_home, &QPushButton::clicked, this, &HelpViewer::showContents);
    connect(m_browser, &QTextBrowser::historyChanged, this, &HelpViewer::updateNavigation);
    // Going back or forward belongs to the pages, so show them.
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] { m_tabs->setCurrentIndex(0); });
    connect(m_keywordEdit, &QLineEdit::textEdited, this, &HelpViewer::selectTyped);
    connect(m_keywordEdit, &QLineEdit::returnPressed, this, [this] { openItem(m_keywordList->currentItem()); });
    connect(m_keywordList, &QListWidget::itemActivated, this, &HelpViewer::openItem);
    connect(m_show, &QPushButton::clicked, this, [this] { openItem(m_keywordList->currentItem()); });
    updateNavigation();
}

QList<HelpViewer::Keyword> HelpViewer::readKeywords(const QString &helpDir)
{
    QList<Keyword> out;
    QFile file(QDir(helpDir).filePath(QLatin1String(kKeywordFile)));
    if (!file.open(QIODevice::ReadOnly))
        return out;
    const QString text = QString::fromUtf8(file.readAll());
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList parts = line.split(QLatin1Char('\t'));
        if (parts.size() < 2)
            continue;
        Keyword k {parts.at(0).trimmed(), parts.at(1).trimmed(), parts.size() > 2 ? parts.at(2).trimmed() : QString()};
        if (k.keyword.isEmpty() || k.target.isEmpty())
            continue;
        out.append(k);
    }
    QCollator collator {QLocale(QLocale::Japanese, QLocale::Japan)};
    std::stable_sort(out.begin(), out.end(), [&collator](const Keyword &a, const Keyword &b) {
        const QString ka = a.reading.isEmpty() ? a.keyword : a.reading;
        const QString kb = b.reading.isEmpty() ? b.keyword : b.reading;
        return collator.compare(ka, kb) < 0;
    });
    return out;
}

void HelpViewer::fillKeywords()
{
    m_keywordList->clear();
    for (const Keyword &k : readKeywords(m_dir)) {
        auto *item = new QListWidgetItem(k.keyword, m_keywordList);
        item->setData(Qt::UserRole, k.target);
        item->setData(Qt::UserRole + 1, k.reading);
    }
    if (m_keywordList->count() > 0)
        m_keywordList->setCurrentRow(0);
}

void HelpViewer::selectTyped(const QString &typed)
{
    const QString t = typed.trimmed();
    if (t.isEmpty() || m_keywordList->count() == 0)
        return;
    const QString kana = toHiragana(t);
    auto find = [&](bool prefix) -> QListWidgetItem * {
        for (int i = 0; i < m_keywordList->count(); ++i) {
            QListWidgetItem *item = m_keywordList->item(i);
            const QString kw = item->text();
            const QString reading = item->data(Qt::UserRole + 1).toString();
            const bool hit
                = prefix ? kw.startsWith(t, Qt::CaseInsensitive) || (!reading.isEmpty() && reading.startsWith(kana))
                         : kw.contains(t, Qt::CaseInsensitive) || (!reading.isEmpty() && reading.contains(kana));
            if (hit)
                return item;
        }
        return nullptr;
    };
    QListWidgetItem *item = find(true);
    if (!item)
        item = find(false);
    if (item) {
        m_keywordList->setCurrentItem(item);
        m_keywordList->scrollToItem(item, QAbstractItemView::PositionAtTop);
    }
}

void HelpViewer::openItem(QListWidgetItem *item)
{
    if (!item)
        return;
    openTarget(item->data(Qt::UserRole).toString());
}

bool HelpViewer::openTarget(const QString &target)
{
    if (!m_found) {
        showMissing();
        return false;
    }
    const QString page = pageOf(target);
    const QString path = QDir(m_dir).filePath(page);
    m_tabs->setCurrentIndex(0);
    if (page.isEmpty() || !QFileInfo(path).isFile()) {
        m_browser->setHtml(QStringLiteral("<h2>ページが見つかりません</h2><p>%1</p>").arg(target.toHtmlEscaped()));
        return false;
    }
    QUrl url = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
    const QString anchor = anchorOf(target);
    if (!anchor.isEmpty())
        url.setFragment(anchor);
    m_browser->setSource(url);
    return true;
}

void HelpViewer::showContents()
{
    if (!m_found) {
        showMissing();
        return;
    }
    openTarget(QLatin1String(kIndexPage));
}

void HelpViewer::showIndex(const QString &keyword)
{
    if (!m_found) {
        showMissing();
        return;
    }
    // The index needs a page behind it for Back and the contents tab.
    if (m_browser->source().isEmpty())
        showContents();
    m_tabs->setCurrentIndex(1);
    m_keywordEdit->setText(keyword);
    if (keyword.isEmpty()) {
        if (m_keywordList->count() > 0) {
            m_keywordList->setCurrentRow(0);
            m_keywordList->scrollToTop();
        }
    } else {
        selectTyped(keyword);
    }
    m_keywordEdit->setFocus();
}

void HelpViewer::showMissing()
{
    m_tabs->setCurrentIndex(0);
    m_browser->setHtml(QStringLiteral("<h2>ヘルプが見つかりません</h2>"
                                      "<p>ヘルプのファイルがないため、ヘルプを表示できません。</p>"
                                      "<p>次のフォルダーに、Veltoと一緒に配布されたヘルプのファイルがあるか、"
                                      "システム管理者に確認してください。</p>"
                                      "<p><b>%1</b></p>"
                                      "<p>ヘルプがなくても、Veltoのほかの機能はそのまま使えます。</p>")
                           .arg(QDir::toNativeSeparators(m_dir).toHtmlEscaped()));
    updateNavigation();
}

void HelpViewer::updateNavigation()
{
    m_back->setEnabled(m_found && m_browser->isBackwardAvailable());
    m_forward->setEnabled(m_found && m_browser->isForwardAvailable());
    m_home->setEnabled(m_found);
    m_show->setEnabled(m_keywordList->count() > 0);
}

void HelpViewer::showHelp(QWidget *owner, const QString &helpDir, Start start)
{
    static QPointer<HelpViewer> ownerless;
    // A closed viewer waits for its deferred deletion hidden; never reuse it.
    HelpViewer *viewer = nullptr;
    if (owner) {
        for (HelpViewer *v : owner->findChildren<HelpViewer *>(QString(), Qt::FindDirectChildrenOnly))
            if (!v->isHidden())
                viewer = v;
    } else if (ownerless && !ownerless->isHidden()) {
        viewer = ownerless.data();
    }
    if (viewer && viewer->helpDir() != QDir::cleanPath(helpDir)) {
        viewer->close();
        viewer = nullptr;
    }
    if (!viewer) {
        viewer = new HelpViewer(helpDir, owner);
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        if (!owner)
            ownerless = viewer;
    }
    if (start == Index)
        viewer->showIndex();
    else
        viewer->showContents();
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

} // namespace velto
