#include "popupmenu.h"

#include <QDir>
#include <QFileInfo>
#include <QIcon>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <qdrawutil.h>

#include "board/boardcommands.h"
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
        case PM_SmallIconSize:
            return 16;
        case PM_MenuPanelWidth:
            return 2;
        case PM_MenuHMargin:
        case PM_MenuVMargin:
            return 1;
        default:
            return QProxyStyle::pixelMetric(m, opt, w);
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

    void drawControl(ControlElement element, const QStyleOption *opt, QPainter *p, const QWidget *w) const override
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
                                  : selected                     ? pal.highlightedText().color()
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
    for (const BoardCommandRow &row : commandsOn(BoardOrigin::PopupMenu))
        if (name == QLatin1String(row.popup.objectName))
            return QString::fromLatin1(row.popup.icon);
    return QString();
}

BedPopupMenu::BedPopupMenu(const QString &iconDir, QWidget *parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("aaa"));
    setWindowTitle(boardtext::PopupWindowCaption); // the menu's owner, never shown
    auto *look = new BedMenuStyle;
    look->setParent(this);
    setStyle(look);
    // Disabled items keep their picture; Qt greys it, which reads better.
    const QDir dir(iconDir);
    for (const BoardCommandRow &row : commandsOn(BoardOrigin::PopupMenu)) {
        const CommandPlacement &p = row.popup;
        if (*p.separatorBefore) {
            QAction *separator = addSeparator();
            separator->setObjectName(QString::fromLatin1(p.separatorBefore));
            m_items.insert(separator->objectName(), separator);
        }
        // The text after a tab is shown right-aligned as the shortcut; the
        // keys themselves belong to the menu bar, so no real shortcut is set
        // here (it would clash with the menu bar's).
        QString text = QString::fromUtf8(p.caption);
        if (*p.shortcut)
            text += QLatin1Char('\t') + QString::fromLatin1(p.shortcut);
        QAction *a = addAction(text);
        const QString name = QString::fromLatin1(p.objectName);
        const QString file = dir.filePath(QString::fromLatin1(p.icon));
        if (*p.icon && QFileInfo::exists(file))
            a->setIcon(QIcon(file));
        a->setObjectName(name);
        m_items.insert(name, a);
    }
}

} // namespace velto
