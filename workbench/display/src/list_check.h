// Counted lists of the text library checked against their entries: a menu, name list or
// command list whose head counts more or fewer entries than the file holds, or entries
// without their head, would show later as a session that fails without a word (the plug-in
// believes the count); so they are faults of the file, told with FILE:LINE when it loads.
#pragma once

#include "record_file.h"
#include "text_library.h"

#include <string>
#include <vector>

namespace stdhost {

// Appends a fault for every list of `file` (a standard file of this role) that does not add
// up, and one for a file without a record at all.
void checkLists(const RecordFile &file, FileRole role, std::vector<std::string> &faults);

}  // namespace stdhost
