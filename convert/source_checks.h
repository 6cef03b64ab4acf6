#pragma once

#include <string>

// Checks on a source file before a conversion starts.

// 0 when the name ends in ".ppt" or ".pptx" (any case), 10 for an empty path,
// 14 otherwise, and for a file name that is only the extension. The last dot
// of the whole path counts.
int fnjgCheckPptExtension(const std::string& path);

// 0 when the file can be opened for reading, 10 for an empty path, 13 when it
// does not exist, 15 when it exists but cannot be read (no permission, a
// folder, ...).
int fnjgCheckFileOpen(const std::string& path);
