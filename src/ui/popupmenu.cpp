#include "popupmenu.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>

#include "board/boardtexts.h"

namespace velto {

QString BedPopupMenu::iconFile(const QString &name)
{
    static const QHash<QString, QString> files{
        {QStringLiteral("bed"), QStringLiteral("car.ico")},
        {QStringLiteral("edit"), QStringLiteral("edit.ico")},
        {QStringLiteral("Taiin"), QStringLiteral("Taiin.ico")},
        {QStringLiteral("SaiNyuin"), QStringLiteral("ban.ico")},
        {QStringLiteral("Out"), QStringLiteral("Delete.ico")},
        {QStringLiteral("no"), QStringLiteral("no1.ico")},
        {QStringLiteral("color"), QStringLiteral("pal.ico")},
        {QStringLiteral("END"), QStringLiteral("Cancel.ico")},
    };
    return files.value(name);
}

BedPopupMenu::BedPopupMenu(const QString &iconDir, QWidget *parent) : QMenu(parent)
{
    setObjectName(QStringLiteral("aaa"));
    // Disabled items keep their picture; Qt greys it, which reads better.
    const QDir dir(iconDir);
    for (const boardtext::MenuEntry &e : boardtext::PopupItems) {
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QString::fromUtf8(e.caption);
        QAction *a = nullptr;
        if (caption.isEmpty()) {
            a = addSeparator();
        } else {
            // The text after a tab is shown right-aligned as the shortcut;
            // the keys themselves belong to the menu bar, so no real
            // shortcut is set here (it would clash with the menu bar's).
            QString text = caption;
            const QString keys = QString::fromLatin1(e.shortcut);
            if (!keys.isEmpty())
                text += QLatin1Char('\t') + keys;
            a = addAction(text);
            const QString file = dir.filePath(iconFile(name));
            if (QFileInfo::exists(file))
                a->setIcon(QIcon(file));
        }
        a->setObjectName(name);
        m_items.insert(name, a);
    }
}

void BedPopupMenu::applyRights(const QMap<QString, bool> &enabled)
{
    for (auto it = enabled.cbegin(); it != enabled.cend(); ++it) {
        if (QAction *a = m_items.value(it.key()))
            a->setEnabled(it.value());
    }
}

} // namespace velto
