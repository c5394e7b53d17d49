#include "popupmenu.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <qdrawutil.h>

#include "board/boardtexts.h"

namespace velto {

namespace {
constexpr int kItemHeight = 18;
constexpr int kSeparatorHeight = 5;
constexpr int kIconStrip = 20; // icon box at the left of every item

// The bed menu's own look: a framed 16 x 16 icon box at the left (raised
// under the pointer, sunken otherwise), the caption 20 pixels in, the
// shortcut text right-aligned 10 pixels from the edge, raised separators.
class BedMenuStyle : public QProxyStyle {
public:
    int pixelMetric(PixelMetric m, const QStyleOption *opt, const QWidget *w) const override
    {
        switch (m) {
        case PM_SmallIconSize: return 16;
        case PM_MenuPanelWidth: return 2;
        case PM_MenuHMargin:
        case PM_MenuVMargin: return 1;
        default: return QProxyStyle::pixelMetric(m, opt, w);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption *opt, const QSize &size,
                           const QWidget *w) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(opt);
        if (type != CT_MenuItem || !item)
            return QProxyStyle::sizeFromContents(type, opt, size, w);
        if (item->menuItemType == QStyleOptionMenuItem::Separator)
            return {1, kSeparatorHeight}; // an empty size would drop it; width comes from the items
        // The whole menu text as one line, + 32.
        const QString text = QString(item->text).replace(QLatin1Char('\t'), QStringLiteral("    "));
        const QFontMetrics fm(item->font);
        const int width = fm.horizontalAdvance(QString(text).remove(QLatin1Char('&'))) + 32;
        return {std::max(width, 0), std::max(kItemHeight, fm.height() + 2)};
    }

    void drawControl(ControlElement element, const QStyleOption *opt, QPainter *p,
                     const QWidget *w) const override
    {
        const auto *item = qstyleoption_cast<const QStyleOptionMenuItem *>(opt);
        if (element != CE_MenuItem || !item)
            return QProxyStyle::drawControl(element, opt, p, w);
        const QRect r = item->rect;
        const QPalette &pal = item->palette;
        if (item->menuItemType == QStyleOptionMenuItem::Separator) {
            const int y = r.top() + (r.bottom() - r.top()) / 2;
            qDrawShadeLine(p, r.left(), y, r.right(), y, pal, false, 1, 0);
            return;
        }
        const bool selected = (item->state & State_Selected) && (item->state & State_Enabled);
        const QRect textArea = r.adjusted(kIconStrip, 0, 0, 0);
        p->fillRect(textArea, selected ? pal.highlight() : pal.window());
        p->fillRect(QRect(r.left(), r.top(), kIconStrip, r.height()), pal.window());

        const QColor textColour = !(item->state & State_Enabled) ? pal.color(QPalette::Disabled, QPalette::Text)
                                  : selected                      ? pal.highlightedText().color()
                                                                  : pal.text().color();
        p->setPen(textColour);
        const int tab = int(item->text.indexOf(QLatin1Char('\t')));
        const QString caption = tab < 0 ? item->text : item->text.left(tab);
        const QString keys = tab < 0 ? QString() : item->text.mid(tab + 1);
        const int flags = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
        p->drawText(textArea, flags | Qt::AlignLeft, caption);
        if (!keys.isEmpty())
            p->drawText(r.adjusted(0, 0, -10, 0), flags | Qt::AlignRight, keys);

        const QRect iconRect(r.left() + 1, r.top() + 1, 16, 16);
        if (!item->icon.isNull())
            item->icon.paint(p, iconRect, Qt::AlignCenter,
                             (item->state & State_Enabled) ? QIcon::Normal : QIcon::Disabled);
        qDrawShadePanel(p, QRect(r.left(), r.top(), kIconStrip - 1, kItemHeight), pal, !selected, 1);
    }
};
} // namespace

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
    setWindowTitle(boardtext::PopupWindowCaption); // the menu's owner, never shown
    auto *look = new BedMenuStyle;
    look->setParent(this);
    setStyle(look);
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
