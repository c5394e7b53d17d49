#pragma once
#include <QString>

namespace velto {

// The six message dialogs. A line break inside a text is "\r".
class Prompter {
public:
    virtual ~Prompter() = default;
    virtual void errorMsg(const QString &text) = 0;
    virtual bool warnYesNo(const QString &text) = 0;      // default Yes
    virtual bool warnYesNoDefNo(const QString &text) = 0; // default No
    virtual void warnMsg(const QString &text) = 0;
    virtual bool confirmYesNo(const QString &text) = 0; // default Yes
    virtual void infoMsg(const QString &text) = 0;
};

enum class DialogKind { Error, WarnYesNo, WarnYesNoDefNo, Warn, ConfirmYesNo, Info };
enum class DialogIcon { Critical, Warning, Question, Information };

struct DialogSpec {
    QString title;
    DialogIcon icon;
    bool yesNo;
    bool defaultYes; // meaningful for yes/no dialogs only
};

DialogSpec dialogSpec(DialogKind kind);

} // namespace velto
