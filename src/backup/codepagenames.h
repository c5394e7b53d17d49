#pragma once
// Record files that a Windows PC named in code page 932 bytes: start-up
// gives those in "DB" and "DB/Out" their normal (UTF-8) names, so the board,
// the record window and the backup find them.
#include <QString>
#include <QStringList>

namespace velto {
struct AppContext;

namespace codepagetext {
inline const QString renamedHead
    = QStringLiteral("次の患者情報は、ファイル名の文字コードが異なっていたため、ファイル名を変更しました。");
inline const QString clashHead
    = QStringLiteral("次の患者情報は、文字コードの異なる同じ名前のファイルが2つあるため、どちらも変更していません。\r"
                     "内容を確認してください。");
inline const QString failedHead = QStringLiteral("次の患者情報は、ファイル名を変更できませんでした。");
// After a name in the list: the file under its code page 932 bytes.
inline const QString byteNameMark = QStringLiteral("（文字コード932の名前）");
} // namespace codepagetext

struct CodePageRenames {
    QStringList renamed; // "DB/<name>", "DB/Out/<name>"
    QStringList clashes; // both names of each, the UTF-8 one first
    QStringList failed;  // "DB/<name>: reason"
    bool any() const { return !renamed.isEmpty() || !clashes.isEmpty() || !failed.isEmpty(); }
};

// Renames without dialogs. A name whose UTF-8 twin exists is left alone,
// and so is the twin. Names that are not code page 932 either stay as they are.
CodePageRenames renameCodePageNames(AppContext &ctx);

// The information message for a result (empty when there is nothing to tell).
QString codePageRenameMessage(const CodePageRenames &r);

// Start-up: the renames and their message.
void repairDataFolders(AppContext &ctx);

} // namespace velto
