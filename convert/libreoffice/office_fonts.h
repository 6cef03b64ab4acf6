#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The fonts our offices draw Office families with. Decks ask for Calibri,
// MS PGothic and the like; drawn in whatever fontconfig falls back to, their
// text runs off its boxes. The free metric-compatible and CJK faces come with
// the install; where neither fontconfig nor the office maps a family to its
// face by itself, our offices get an alias file that does. Of URW's and
// Wine's fonts they see only the faces they draw with.
namespace office {

// An Office family and the free face that stands in for it.
struct FontAlias
{
    std::string_view family;
    std::string_view face;
};

// The families our alias file maps.
const std::vector<FontAlias>& OfficeFontAliases();

// A folder of font files that fontconfig does not scan, and the files in it
// (by name pattern) that our offices see; its other files stay hidden.
struct AddedFontFolder
{
    std::string_view folder;
    std::vector<std::string_view> shown;
};

// The folders our file adds.
const std::vector<AddedFontFolder>& AddedFontFolders();

// Families that come in one package with faces our offices draw, and that
// they do not see: they would take over other families and glyphs.
const std::vector<std::string_view>& HiddenFontFamilies();

// The fontconfig file our offices use: it includes the configuration they
// would otherwise load, adds our aliases and folders and hides the families
// above. Not written here.
std::filesystem::path FontConfigFile();

// The text of that file, including the configuration at baseConfig.
std::string FontConfigText(const std::filesystem::path& baseConfig);

// Writes our font configuration and points an office environment at it.
// When it cannot be written, the environment is left as it was and the
// office draws with the fonts the user's configuration gives.
void UseOfficeFonts(std::vector<std::string>& environment);

} // namespace office
