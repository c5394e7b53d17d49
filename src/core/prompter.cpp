#include "prompter.h"

namespace velto {

DialogSpec dialogSpec(DialogKind kind)
{
    switch (kind) {
    case DialogKind::Error:
        return {QStringLiteral("エラーメッセージ"), DialogIcon::Critical, false, true};
    case DialogKind::WarnYesNo:
        return {QStringLiteral("警告メッセージ"), DialogIcon::Warning, true, true};
    case DialogKind::WarnYesNoDefNo:
        return {QStringLiteral("警告メッセージ"), DialogIcon::Warning, true, false};
    case DialogKind::Warn:
        return {QStringLiteral("警告メッセージ"), DialogIcon::Warning, false, true};
    case DialogKind::ConfirmYesNo:
        return {QStringLiteral("確認メッセージ"), DialogIcon::Question, true, true};
    case DialogKind::Info:
        return {QStringLiteral("情報メッセージ"), DialogIcon::Information, false, true};
    }
    return {};
}

} // namespace velto
