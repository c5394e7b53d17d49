#pragma once
// What the record window lets the user change.
#include "core/appcontext.h"
#include "recordfields.h"

namespace velto {

// True when the window may only show the record: a restricted account
// a snapshot day, a board whose layout did not load whole
// (boardWritable false), or a record read only in part, which a save would
// blank on disk (readWhole false).
bool recordIsReadOnly(Authority authority, bool isToday, bool boardWritable, bool readWhole);

// Whether a field takes input. The age list never does: it follows the
// birth date. A read-only window leaves only the last blood pressure open.
bool recordFieldEditable(const RecordField &field, bool readOnly);

} // namespace velto
