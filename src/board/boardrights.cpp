#include "boardrights.h"

#include "boardmodel.h"
#include "core/appcontext.h"

namespace velto::rights {

namespace {

// Writer: the account may change today's data, even while the board itself
// is read-only (a backup or the options touch no layout file).
enum Rule { Always, Writer, Editable, EditableOccupied, EditableFree, EditableOrOccupied };

bool enabled(Rule rule, bool canWrite, bool canEdit, bool occupied)
{
    switch (rule) {
    case Always: return true;
    case Writer: return canWrite;
    case Editable: return canEdit;
    case EditableOccupied: return canEdit && occupied;
    case EditableFree: return canEdit && !occupied;
    case EditableOrOccupied: return canEdit || occupied; // admission, or viewing a record
    }
    return false;
}

struct Item {
    const char *name;
    Rule rule;
};

// "Edit"/"edit" admit into a free bed, or open an occupied bed's record
// (read-only without the right to change).
const Item menuItems[] = {
    {"Bed", EditableOccupied},      {"toolBedMove", EditableOccupied},
    {"Edit", EditableOrOccupied},   {"toolHensyu", EditableOrOccupied},
    {"Taiin", EditableOccupied},    {"tooltain", EditableOccupied},
    {"Sai", EditableFree},          {"toolSai", EditableFree},
    {"DataDel", EditableOccupied},  {"toolDel", EditableOccupied},
    {"set", Editable},              {"toolHouseno", Editable},
    {"Col3", Editable},             {"toolHouseCol", Editable},
    {"Backup", Writer},             {"OptionDlgStart", Writer},
    {"end", Always},                {"setHospitalInfo", Always},
    {"kangofu", Always},            {"BackupDataDell", Always},
    {"help", Always},               {"white", Always},
    {"toolClose", Always},          {"toolShisetu", Always},
    {"toolStaff", Always},          {"toolVer", Always},
    {"toolHelp", Always},
};

const Item popupItems[] = {
    {"bed", EditableOccupied}, {"edit", EditableOrOccupied},{"Taiin", EditableOccupied},
    {"SaiNyuin", EditableFree}, {"Out", EditableOccupied}, {"no", Editable},
    {"color", Editable},       {"END", Always},
};

template <size_t N>
QMap<QString, bool> evaluate(const Item (&items)[N], int authority, bool today, bool occupied,
                             bool layoutWhole = true)
{
    const bool canWrite = editable(authority, today);
    const bool canEdit = canWrite && layoutWhole;
    QMap<QString, bool> result;
    for (const Item &item : items)
        result.insert(QString::fromLatin1(item.name), enabled(item.rule, canWrite, canEdit, occupied));
    return result;
}

} // namespace

bool editable(int authority, bool today)
{
    return authority != 1 && today;
}

QMap<QString, bool> menuBarStates(int authority, bool today, bool occupied)
{
    return evaluate(menuItems, authority, today, occupied);
}

QMap<QString, bool> bedMenuStates(int authority, bool today, bool occupied)
{
    return evaluate(popupItems, authority, today, occupied);
}

QMap<QString, bool> menuBarStates(const AppContext &ctx, const BoardModel &model)
{
    return evaluate(menuItems, ctx.currentAccount.authority, ctx.displayDateIndex == 0,
                    model.isOccupied(ctx.selectedBed), ctx.layoutFault.isEmpty());
}

QMap<QString, bool> bedMenuStates(const AppContext &ctx, const BoardModel &model)
{
    return evaluate(popupItems, ctx.currentAccount.authority, ctx.displayDateIndex == 0,
                    model.isOccupied(ctx.selectedBed), ctx.layoutFault.isEmpty());
}

} // namespace velto::rights
