#pragma once

#include <filesystem>
#include <string>

// Makes a deck the way the sample deck is made: presentation text in flat
// XML, saved by LibreOffice as "pptx" or "ppt". Returns the deck's path, or
// an empty path when LibreOffice wrote nothing.
std::filesystem::path SaveAsDeck(const std::string& flatXml, const std::filesystem::path& folder,
                                 const std::string& name, const std::string& format);

// A presentation in flat XML on 32 x 20 cm pages ("Default"): its common
// styles, automatic styles and draw:page elements.
std::string FlatPresentation(const std::string& styles, const std::string& automaticStyles,
                             const std::string& pages);

// Exports a deck's slides as 1280 x 800 images into the folder images, made
// here. Returns the export's result code.
int ExportSlides(const std::filesystem::path& deck, const std::filesystem::path& images);
