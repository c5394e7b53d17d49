#include "facilityinfo.h"

#include <QHash>
#include <QStringList>
#include <iterator>

#include "core/appcontext.h"
#include "core/errorlog.h"
#include "core/textfile.h"
#include "store/wardstore.h"

namespace velto {

namespace {

// The error log names this step as it always has.
const QString LoadProc = QStringLiteral("bigin.getShisetuInfo()");

// Only the half-width space counts as blank: the postal parts are typed
// without the input method, and a value is stored exactly as typed.
QString trimSpaces(const QString &s)
{
    int b = 0;
    int e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return s.mid(b, e - b);
}

bool blank(const QString &s)
{
    return trimSpaces(s).isEmpty();
}

} // namespace

bool FacilityInfo::operator==(const FacilityInfo &o) const
{
    for (const FacilityField &f : facilityFields()) {
        if (this->*f.member != o.*f.member)
            return false;
    }
    return true;
}

const std::array<FacilityField, 9> &facilityFields()
{
    static const std::array<FacilityField, 9> fields {{
        {"001", "txtShisetu", 42, true, &FacilityInfo::hospitalName},
        {"002", "txtKaName", 41, true, &FacilityInfo::departmentName},
        {"003", "txtZip1", 3, false, &FacilityInfo::zip1},
        {"004", "txtZip2", 4, false, &FacilityInfo::zip2},
        {"005", "txtZip3", 42, true, &FacilityInfo::address1},
        {"006", "txtZip4", 41, true, &FacilityInfo::address2},
        {"007", "txtTel", 15, false, &FacilityInfo::tel},
        {"008", "txtFax", 15, false, &FacilityInfo::fax},
        {"009", "txtMail", 42, false, &FacilityInfo::mail},
    }};
    return fields;
}

QString facilityFieldCaption(const FacilityField &f)
{
    using namespace facilitytext;
    // The postal code's second part and the second address line carry no
    // caption of their own; the one before them names them.
    const QString *captions[] = {&labelHospital, &labelDepartment, &labelZip, &labelZip, &labelAddress,
                                 &labelAddress,  &labelTel,        &labelFax, &labelMail};
    const int index = QByteArray(f.key).toInt() - 1; // "001" .. "009"
    return index >= 0 && index < int(std::size(captions)) ? *captions[index] : QString::fromLatin1(f.key);
}

bool facilityFileExists(const AppContext &ctx)
{
    return ctx.store->hasFacility();
}

bool loadFacilityInfo(AppContext &ctx, FacilityInfo *info, QByteArray *stored)
{
    *info = FacilityInfo();
    QByteArray bytes;
    QString error;
    const StoreRead read = ctx.store->readFacility(&bytes, &error);
    if (stored)
        *stored = read == StoreRead::Read ? bytes : QByteArray();
    switch (read) {
    case StoreRead::Missing:
        return true;
    case StoreRead::Failed:
        writeErrorLog(ctx, LoadProc);
        return false;
    case StoreRead::Read:
        break;
    }
    QStringList lines;
    QList<int> bad;
    textfile::decodeLinesEach(bytes, &lines, &bad);
    if (!bad.isEmpty()) {
        writeErrorLog(ctx, LoadProc);
        return false;
    }
    QHash<QString, QString FacilityInfo::*> byKey;
    for (const FacilityField &f : facilityFields())
        byKey.insert(QString::fromLatin1(f.key), f.member);
    for (const QString &line : lines) {
        if (line.size() < 4) {
            // A damaged file: keep what was read so far and say so.
            writeErrorLog(ctx, LoadProc);
            return false;
        }
        const auto it = byKey.constFind(line.left(3));
        if (it != byKey.constEnd())
            info->*(it.value()) = line.mid(4); // a later line of a key wins
    }
    return true;
}

bool facilityCanSave(const AppContext &ctx)
{
    return !isRestricted(ctx.currentAccount.authority);
}

FacilityCheck checkFacilityInfo(FacilityInfo *info)
{
    if (blank(info->hospitalName))
        return {QStringLiteral("病院名を入力してください"), QStringLiteral("txtShisetu")};
    if (blank(info->departmentName))
        return {QStringLiteral("科名を入力してください"), QStringLiteral("txtKaName")};
    if (blank(info->zip1))
        return {QStringLiteral("郵便番号上３桁を入力してください"), QStringLiteral("txtZip1")};
    if (blank(info->zip2))
        return {QStringLiteral("郵便番号下４桁を入力してください"), QStringLiteral("txtZip2")};
    if (blank(info->tel))
        return {QStringLiteral("TELを入力してください"), QStringLiteral("txtTel")};
    if (blank(info->address1) && blank(info->address2))
        return {QStringLiteral("住所を入力してください"), QStringLiteral("txtZip3")};
    if (blank(info->address1)) {
        info->address1 = info->address2;
        info->address2.clear();
    }
    // Only the lengths are tested; the parts need not be digits.
    if (trimSpaces(info->zip1).size() != 3)
        return {QStringLiteral("入力数が足りません"), QStringLiteral("txtZip1")};
    if (trimSpaces(info->zip2).size() != 4)
        return {QStringLiteral("入力数が足りません"), QStringLiteral("txtZip2")};
    // Refused here, by the box's caption: the file write would only say
    // that the file failed, with no box to correct.
    for (const FacilityField &f : facilityFields()) {
        const QString why = textfile::fieldRefusal(facilityFieldCaption(f), info->*f.member);
        if (!why.isEmpty())
            return {why, QString::fromLatin1(f.boxName)};
    }
    return {};
}

namespace {

ChangeResult writeFacilityFile(AppContext &ctx, const FacilityInfo &info, QByteArray *loaded, QString *error)
{
    QStringList lines;
    for (const FacilityField &f : facilityFields())
        lines << QString::fromLatin1(f.key) + QLatin1Char(':') + info.*f.member;
    QByteArray bytes;
    if (!textfile::encodeLines(QStringLiteral("HOSPITAL_INFO.WBD"), lines, &bytes, error))
        return ChangeResult::Failed;
    const ChangeResult result
        = ctx.store->writeFacility(bytes, loaded ? std::optional<QByteArray>(*loaded) : std::nullopt, error);
    if (result == ChangeResult::Done && loaded)
        *loaded = bytes;
    return result;
}

void showWriteFailure(AppContext &ctx, const QString &error)
{
    ctx.prompter->errorMsg(QStringLiteral("施設情報を保存できませんでした。") + QLatin1Char('\r') + error);
}

} // namespace

bool saveFacilityInfo(AppContext &ctx, const FacilityInfo &info)
{
    QString error;
    if (writeFacilityFile(ctx, info, nullptr, &error) == ChangeResult::Done)
        return true;
    showWriteFailure(ctx, error);
    return false;
}

FacilityOkResult facilityOk(AppContext &ctx, FacilityInfo *info, QByteArray *loaded)
{
    BusyGuard busy(ctx.busy);
    if (!facilityCanSave(ctx))
        return {};
    const FacilityCheck check = checkFacilityInfo(info);
    if (!check.ok()) {
        busy.release();
        ctx.prompter->errorMsg(check.message);
        return {false, check.fieldName};
    }
    QString error;
    const ChangeResult written = writeFacilityFile(ctx, *info, loaded, &error);
    busy.release();
    if (written == ChangeResult::Conflict) {
        // Another terminal saved first: show theirs, nothing merged.
        ctx.prompter->infoMsg(storetext::ChangedElsewhere);
        loadFacilityInfo(ctx, info, loaded);
        FacilityOkResult r;
        r.reloaded = true;
        return r;
    }
    if (written != ChangeResult::Done) {
        // The form stays open with what was typed; the old file is whole.
        showWriteFailure(ctx, error);
        return {false, QString(), true};
    }
    return {true, QString()};
}

} // namespace velto
