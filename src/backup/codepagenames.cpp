#include "codepagenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/appcontext.h"
#include "core/textfile.h"
#include "store/rawfiles.h"

namespace velto {

namespace {

void renameIn(AppContext &ctx, const QString &folder, CodePageRenames *r)
{
    const QString dir = ctx.path(folder);
    QList<QByteArray> names;
    if (!rawfiles::listFiles(dir, &names, nullptr))
        return;
    for (const QByteArray &raw : names) {
        if (rawfiles::qtCanName(raw))
            continue;
        QString name;
        if (!textfile::decode(raw, &name, nullptr) || name.isEmpty() || name.contains(QLatin1Char('/'))
            || name.startsWith(QLatin1Char('.')))
            continue; // not a record name we could give back
        const QByteArray utf8 = QFile::encodeName(name);
        const QString shown = folder + QLatin1Char('/') + name;
        QString error;
        if (QFileInfo::exists(QDir(dir).filePath(name))) {
            r->clashes << shown << shown + codepagetext::byteNameMark;
        } else if (rawfiles::renameNoReplace(dir, raw, utf8, &error)) {
            r->renamed << shown;
        } else if (QFileInfo::exists(QDir(dir).filePath(name))) {
            r->clashes << shown << shown + codepagetext::byteNameMark;
        } else {
            r->failed << shown + QStringLiteral(": ") + error;
        }
    }
}

void addSection(QStringList *parts, const QString &head, const QStringList &lines)
{
    if (!lines.isEmpty())
        *parts << head + QLatin1Char('\r') + lines.join(QLatin1Char('\r'));
}

} // namespace

CodePageRenames renameCodePageNames(AppContext &ctx)
{
    CodePageRenames r;
    for (const QString &folder : {QStringLiteral("DB"), QStringLiteral("DB/Out")})
        renameIn(ctx, folder, &r);
    return r;
}

QString codePageRenameMessage(const CodePageRenames &r)
{
    QStringList parts;
    addSection(&parts, codepagetext::renamedHead, r.renamed);
    addSection(&parts, codepagetext::clashHead, r.clashes);
    addSection(&parts, codepagetext::failedHead, r.failed);
    return parts.join(QStringLiteral("\r\r"));
}

void repairDataFolders(AppContext &ctx)
{
    const CodePageRenames r = renameCodePageNames(ctx);
    if (r.any())
        ctx.prompter->infoMsg(codePageRenameMessage(r));
}

} // namespace velto
