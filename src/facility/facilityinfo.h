#pragma once
// Facility information: the nine texts (the file "HOSPITAL_INFO.WBD" in the
// folder store), the form's checks and their storing.
#include <QString>
#include <array>

namespace velto {
struct AppContext;

struct FacilityInfo {
    QString hospitalName;   // 001
    QString departmentName; // 002
    QString zip1;           // 003
    QString zip2;           // 004
    QString address1;       // 005
    QString address2;       // 006
    QString tel;            // 007
    QString fax;            // 008
    QString mail;           // 009
    bool operator==(const FacilityInfo &o) const;
};

// One line of the file and the form box that shows it.
struct FacilityField {
    const char *key;     // "001" .. "009"
    const char *boxName; // objectName of the form's box
    int maxLength;
    bool inputMethodOn; // Japanese input (hiragana) when the box has focus
    QString FacilityInfo::*member;
};
// In key order, which is also the form's tab order.
const std::array<FacilityField, 9> &facilityFields();

// Result of the OK check: an empty message means the values pass.
struct FacilityCheck {
    QString message;
    QString fieldName; // the box to put the focus on
    bool ok() const { return message.isEmpty(); }
};

namespace facilitytext {
inline const QString caption = QStringLiteral("施設情報設定");
inline const QString labelHospital = QStringLiteral("病院名");
inline const QString labelDepartment = QStringLiteral("科名");
inline const QString labelZip = QStringLiteral("〒");
inline const QString labelZipDash = QStringLiteral("-");
inline const QString labelAddress = QStringLiteral("住所");
inline const QString labelTel = QStringLiteral("TEL");
inline const QString labelFax = QStringLiteral("FAX");
inline const QString labelMail = QStringLiteral("E-Mail");
inline const QString buttonOk = QStringLiteral("OK(&O)");
inline const QString buttonCancel = QStringLiteral("ｷｬﾝｾﾙ(&C)");
} // namespace facilitytext

// The caption the form shows for the field's box; messages name it so.
QString facilityFieldCaption(const FacilityField &f);

// Whether the facility data has been entered yet (start-up asks this).
bool facilityFileExists(const AppContext &ctx);

// Empties *info, then fills it from the file if there is one. A line too
// short to hold a key and a colon stops the reading with the error report;
// the fields keep what was read before it. Returns false after a report.
bool loadFacilityInfo(AppContext &ctx, FacilityInfo *info, QByteArray *stored = nullptr);

// Whether cmdOK is enabled: restricted accounts may only look.
bool facilityCanSave(const AppContext &ctx);

// The OK checks in their order, the last one refusing a value that code
// page 932 cannot hold. When only the second address line is filled it is
// moved into the first one (so *info may change even when a later check
// refuses; the form shows *info again).
FacilityCheck checkFacilityInfo(FacilityInfo *info);

// Writes the nine lines, values exactly as typed. On failure the old file
// stays whole, the user is told why, and false is returned.
bool saveFacilityInfo(AppContext &ctx, const FacilityInfo &info);

// cmdOK: check (ErrorMsg on a refusal), then save. closeForm is true only
// after a successful save; otherwise focus names the box to focus (empty
// when the write failed). writeFailed: the values passed but the file could
// not be written (the first-start form must then let the user leave).
struct FacilityOkResult {
    bool closeForm = false;
    QString focus;
    bool writeFailed = false;
    bool reloaded = false; // another terminal saved first: *info is now theirs
};
// loaded: the stored bytes the form was filled from (loadFacilityInfo's
// stored); a shared store refuses the save when they have changed since.
FacilityOkResult facilityOk(AppContext &ctx, FacilityInfo *info, QByteArray *loaded = nullptr);

} // namespace velto
