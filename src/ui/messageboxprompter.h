#pragma once
#include <QWidget>

class QMessageBox;

#include "core/prompter.h"

namespace velto {

// The six message dialogs as modal message boxes.
class MessageBoxPrompter : public Prompter {
public:
    void errorMsg(const QString &text) override;
    bool warnYesNo(const QString &text) override;
    bool warnYesNoDefNo(const QString &text) override;
    void warnMsg(const QString &text) override;
    bool confirmYesNo(const QString &text) override;
    void infoMsg(const QString &text) override;

    // Builds the box without showing it (tests inspect it).
    static QMessageBox *build(DialogKind kind, const QString &text, QWidget *parent = nullptr);

private:
    static bool show(DialogKind kind, const QString &text);
};

} // namespace velto
