#pragma once
// The program's own help: HTML pages in AppDir/help, shown with a contents
// tab (index.html) and a keyword index read from help/keywords.txt.
#include <QDialog>
#include <QList>
#include <QString>
#include <QUrl>

class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTabWidget;
class QTextBrowser;

namespace velto {

class HelpViewer : public QDialog {
    Q_OBJECT
public:
    enum Start { Contents, Index };

    // One line of keywords.txt: "keyword<TAB>page#anchor[<TAB>reading]".
    struct Keyword {
        QString keyword;
        QString target;  // page#anchor, relative to the help folder
        QString reading; // hiragana, for sorting and typed search; may be empty
    };

    explicit HelpViewer(const QString &helpDir, QWidget *parent = nullptr);

    // Opens (or raises) the help window owned by owner, at the contents page
    // or at the keyword index with an empty keyword. Never modal: the nurse
    // keeps working beside it.
    static void showHelp(QWidget *owner, const QString &helpDir, Start start);

    // Reads keywords.txt of helpDir, sorted by reading; empty when missing.
    static QList<Keyword> readKeywords(const QString &helpDir);

    void showContents();
    void showIndex(const QString &keyword = QString());
    // Opens "page#anchor" in the contents tab; false when the page is missing.
    bool openTarget(const QString &target);

    QString helpDir() const { return m_dir; }
    bool helpFound() const { return m_found; }

private:
    void buildUi();
    void fillKeywords();
    void selectTyped(const QString &text);
    void openItem(QListWidgetItem *item);
    void showMissing();
    void updateNavigation();

    QString m_dir;
    bool m_found = false;
    QTabWidget *m_tabs = nullptr;
    QTextBrowser *m_browser = nullptr;
    QLineEdit *m_keywordEdit = nullptr;
    QListWidget *m_keywordList = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_forward = nullptr;
    QPushButton *m_home = nullptr;
    QPushButton *m_show = nullptr;
};

} // namespace velto
