#pragma once

#include <string>
#include <vector>

// Checks on a source file before a conversion starts.

// The extensions of the presentations we convert, in lower case with their
// dot: PowerPoint's presentations, slide shows and templates, with and
// without macros (which are never run), and OpenDocument presentations.
const std::vector<std::string>& PresentationExtensions();

// 0 when the name ends in one of PresentationExtensions() (any case), 10 for
// an empty path, 14 otherwise, and for a name whose image folder would not be
// a folder of its own (only the extension, "..pptx", "...ppt"). The last dot
// of the whole path counts.
int fnjgCheckPptExtension(const std::string& path);

// 0 when the path names a regular file that can be opened for reading, 10 for
// an empty path, 13 when it does not exist, 15 otherwise (no permission, a
// folder, a FIFO, a socket, a device). Never blocks.
int fnjgCheckFileOpen(const std::string& path);
