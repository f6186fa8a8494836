// The asset families of the data set, one generator each. Each writes its files into the
// tree; all randomness comes from fixed seeds, so two runs write identical bytes.
#pragma once

#include "datagen/writers.h"

// Textures listed in "globaltextures.ini", the font atlas and the loader and title pictures.
void GenerateGlobalTextures(const DataTree& tree);
void GenerateFont(const DataTree& tree);

// Every single mesh and every mesh folder with its "geox.list" and "textures.ini".
void GenerateMeshes(const DataTree& tree);

// The ".camera" flights of the scenes and "throat.path".
void GenerateCameraPaths(const DataTree& tree);
