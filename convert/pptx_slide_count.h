#pragma once

#include <optional>
#include <string>

// The slides a presentation package (.pptx) holds, counted from the names in
// its zip directory without unpacking anything: ppt/slides/slide<N>.xml. No
// count for anything that is not a readable, plain zip package, such as a
// .ppt file or a damaged package. A hint only: the office's count is the
// one that decides.
std::optional<int> CountPptxSlides(const std::string& path);
