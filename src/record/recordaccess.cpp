#include "recordaccess.h"

namespace velto {

bool recordIsReadOnly(Authority authority, bool isToday, bool boardWritable, bool readWhole)
{
    return isRestricted(authority) || !isToday || !boardWritable || !readWhole;
}

bool recordFieldEditable(const RecordField &field, bool readOnly)
{
    if (field.kind == FieldKind::AgeList || !field.hasControl())
        return false;
    if (!readOnly)
        return true;
    return field.key == recordkey::LastSystolic || field.key == recordkey::LastDiastolic;
}

} // namespace velto
