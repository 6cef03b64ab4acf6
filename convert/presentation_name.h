#pragma once

#include <string>

// The presentation's name for its image folder: the file name without its
// extension ("Plan.final.pptx" gives "Plan.final"; no dot: the whole name).
std::string PresentationName(const std::string& filePath);

// True when name, used as a folder name, stays one level below its parent
// everywhere it is delivered: not empty, not "." or "..", and without a
// separator of either kind (a share takes "\" as one).
bool IsConfinedFolderName(const std::string& name);
