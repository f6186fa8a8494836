// PNG output of RGB images (shots, golden frames).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class OutputFile;

// Writes width x height RGB pixels, rows top first. FatalError naming the file on failure.
void WritePngRgb(const std::string& path, int width, int height, const std::vector<uint8_t>& rgb);
// The same into an output file opened beforehand, committed when written.
void WritePngRgb(OutputFile& file, int width, int height, const std::vector<uint8_t>& rgb);
// Reads an 8-bit RGB or RGBA PNG into RGB rows, top first. FatalError naming the file.
std::vector<uint8_t> ReadPngRgb(const std::string& path, int& width, int& height);
