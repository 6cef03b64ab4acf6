#pragma once

#include <string>

// Writes 32-bit BGRA or RGBA pixels, as LibreOfficeKit paints them, as a
// baseline JPEG with 4:2:0 chroma at our quality. Empty on success, else
// what went wrong.
std::string WriteJpeg(const std::string& path, const unsigned char* pixels, int width, int height,
                      bool bgra);
