#pragma once

#include <string>

// The presentation's name for its image folder: the file name without its
// extension ("Plan.final.pptx" gives "Plan.final"; no dot: the whole name).
std::string PresentationName(const std::string& filePath);
