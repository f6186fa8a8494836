// Where the piece finds its data when --data does not say: the working folder, beside the
// executable, then the share folder of an installed copy, found from the executable's own
// place so that a copy installed under any prefix (or moved whole) finds its data. Depends on
// the platform layer for the executable's folder and on the resources' list of start-up files.
#pragma once

#include <string>

// The folder that holds Data: `requested` when given (as it is: a folder without data then
// fails in the start-up, naming the missing file); otherwise the first place, in the order
// above, whose Data holds the first file the start-up reads. FatalError naming every place
// looked at when none does.
std::string ChooseDataFolder(const std::string& requested);
