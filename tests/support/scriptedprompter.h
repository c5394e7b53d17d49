#pragma once
// Test double for the message dialogs: records every dialog and answers
// yes/no questions from a script (Yes when the script is empty).
#include <QList>
#include <QString>

#include "core/prompter.h"

namespace velto::test {

struct Asked {
    DialogKind kind;
    QString text;
};

class ScriptedPrompter : public Prompter {
public:
    QList<Asked> asked;
    QList<bool> answers;

    void errorMsg(const QString &t) override { asked.append({DialogKind::Error, t}); }
    bool warnYesNo(const QString &t) override { return ask(DialogKind::WarnYesNo, t); }
    bool warnYesNoDefNo(const QString &t) override { return ask(DialogKind::WarnYesNoDefNo, t); }
    void warnMsg(const QString &t) override { asked.append({DialogKind::Warn, t}); }
    bool confirmYesNo(const QString &t) override { return ask(DialogKind::ConfirmYesNo, t); }
    void infoMsg(const QString &t) override { asked.append({DialogKind::Info, t}); }

    QStringList texts() const
    {
        QStringList l;
        for (const auto &a : asked)
            l << a.text;
        return l;
    }
    void clear()
    {
        asked.clear();
        answers.clear();
    }

private:
    bool ask(DialogKind k, const QString &t)
    {
        asked.append({k, t});
        return answers.isEmpty() ? true : answers.takeFirst();
    }
};

} // namespace velto::test
