#include "errorlog.h"

#include <QDir>

#include "appcontext.h"
#include "textfile.h"

namespace velto {

QString unexpectedErrorText()
{
    return QStringLiteral("予期せぬエラーが発生しました。") + QChar('\r')
           + QStringLiteral("インストールディレクトリ配下の以下のファイルを送付してください。") + QChar('\r')
           + QStringLiteral("DB配下全て、BackUp配下全て、log配下全て。") + QChar('\r')
           + QStringLiteral("上記のファイルを送付できない方は、サポートできません。バージョンアップをお待ちください。");
}

void writeErrorLog(AppContext &ctx, const QString &procedureName)
{
    if (ctx.prompter)
        ctx.prompter->errorMsg(unexpectedErrorText());

    const QString dir = ctx.path(QStringLiteral("log"));
    if (!QDir(dir).exists())
        return; // the report gives up silently
    const QDateTime now = ctx.clock ? ctx.clock->now() : QDateTime::currentDateTime();
    const QStringList lines {
        QStringLiteral("--- ERROR INFORMATION Velto ---"),
        QStringLiteral("[DATE] ") + now.toString(QStringLiteral("yyyy/MM/dd H:mm:ss")),
        QStringLiteral("[FUNC] ") + procedureName,
    };
    QString ignored;
    textfile::writeLines(QDir(dir).filePath(QStringLiteral("error.log")), lines, &ignored);
}

} // namespace velto
