#pragma once
// velto --check: opens the ward's data as a start does (the lock, the
// folders, the first-start accounts) and says what it holds, with no
// window, so that IT can check a PC's set-up from a shell.
#include <QStringList>

#include "core/prompter.h"

namespace velto {

struct AppContext;

namespace wardchecktext {
QString folder(const QString &path);
QString database(const QString &name);
QString staff(int count);
QString patients(int count);
} // namespace wardchecktext

// Messages go to the lines; every question is answered No.
class LinePrompter : public Prompter {
public:
    void errorMsg(const QString &text) override { lines << text; }
    bool warnYesNo(const QString &text) override { return record(text); }
    bool warnYesNoDefNo(const QString &text) override { return record(text); }
    void warnMsg(const QString &text) override { lines << text; }
    bool confirmYesNo(const QString &text) override { return record(text); }
    void infoMsg(const QString &text) override { lines << text; }
    QStringList lines;

private:
    bool record(const QString &text)
    {
        lines << text;
        return false;
    }
};

// 0 with the summary in *out, or 1 with the reason in *err.
int checkWard(AppContext &ctx, const QString &databaseName, QStringList *out, QStringList *err);

} // namespace velto
