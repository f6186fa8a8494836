// The data check (`lantern-tool check DIR`): reads every file the piece would read from
// DIR/Data, with the piece's own loaders but no GL context (images are decoded, not uploaded),
// and goes on after each fault so that one run names them all. Errors are faults that would
// stop the start-up or show a message box; warnings are what plays but looks wrong: texture
// names the scenes bind that no list provides, names cut by the library's 32 characters,
// still cameras, a soundtrack that is missing or short. Depends on base, resources and render.
#pragma once

#include <cstdio>
#include <string>

struct DataCheckResult {
    int filesRead = 0;
    int errors = 0;
    int warnings = 0;
};

// Prints one line a problem ("error: <file>: <fault>" or "warning: ...") and a summary to
// `out`. Sets the data root to `folder` and leaves it there.
DataCheckResult CheckDataFolder(const std::string& folder, std::FILE* out);
