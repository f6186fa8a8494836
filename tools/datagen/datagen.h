// The data set generator: writes every file of the Data folder, procedurally.
#pragma once

#include <string>

struct DataSetOptions {
    bool withSoundtrack = true; // the soundtrack takes most of the time; leave it out to iterate
    bool progress = true;       // one progress line on stderr while it works
};

// Writes dir/Data: textures, font, loader and title pictures, meshes, camera flights and
// (unless left out) the soundtrack. Existing files are overwritten; two runs write the same bytes.
void GenerateDataSet(const std::string& dir, const DataSetOptions& options = {});
