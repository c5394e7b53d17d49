#include "passwordbox.h"

#include <QProxyStyle>

namespace velto {

namespace {
class StarStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *opt, const QWidget *w, QStyleHintReturn *ret) const override
    {
        if (hint == SH_LineEdit_PasswordCharacter)
            return '*';
        return QProxyStyle::styleHint(hint, opt, w, ret);
    }
};
} // namespace

QLineEdit *latinLineEdit(const QString &objectName, int maxLength, QWidget *parent)
{
    auto *e = new QLineEdit(parent);
    e->setObjectName(objectName);
    e->setMaxLength(maxLength);
    e->setAttribute(Qt::WA_InputMethodEnabled, false);
    e->setInputMethodHints(Qt::ImhLatinOnly | Qt::ImhNoPredictiveText);
    return e;
}

QLineEdit *passwordLineEdit(const QString &objectName, int maxLength, QWidget *parent)
{
    QLineEdit *e = latinLineEdit(objectName, maxLength, parent);
    e->setEchoMode(QLineEdit::Password);
    auto *style = new StarStyle;
    style->setParent(e);
    e->setStyle(style);
    e->setInputMethodHints(e->inputMethodHints() | Qt::ImhHiddenText);
    return e;
}

} // namespace velto
