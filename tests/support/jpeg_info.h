#pragma once

#include <filesystem>

// The pixel size written in a JPEG file's frame header.
struct JpegSize
{
    int width = 0;
    int height = 0;
    bool valid = false;
};

JpegSize ReadJpegSize(const std::filesystem::path& file);
