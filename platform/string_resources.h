#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The program's string tables: one per language, compiled into the program
// as resources, each mapping a numeric ID to UTF-8 text. An ID missing from
// a table means the string does not load. Strings load from one active
// table, English until another is selected.
namespace platform {

inline constexpr int kEnglishStringTable = 1033;

using StringTable = std::map<int, std::string>;

// Language IDs of the tables the program carries, ascending.
const std::vector<int>& StringTableLanguages();

// Reads table text: one string a line, "ID<TAB>text"; blank lines and lines
// starting with '#' are skipped; in the text "\t", "\n" and "\\" stand for a
// tab, a line break and a backslash. Empty when a line is malformed, an ID
// repeats or the text is not valid UTF-8.
std::optional<StringTable> ParseStringTable(std::string_view data);

// The compiled-in table of a language; empty when the program has none or
// it does not parse.
std::optional<StringTable> LoadStringTable(int language);

// Makes the compiled-in table of this language the active one. False, and
// the active table unchanged, when there is no such table.
bool SelectStringTable(int language);

// Makes the given table the active one, under the given language ID.
void UseStringTable(StringTable table, int language);

// Language ID of the active table.
int ActiveStringTable();

// String id of the active table; empty when it does not load.
std::optional<std::string> LoadResourceString(int id);

// The first maxCharacters characters of UTF-8 text, as a buffer of that
// many characters would hold them.
std::string CutToCharacters(std::string_view text, std::size_t maxCharacters);

// The message shown for a result code, from the active table. Empty when the
// code shows no message (cancelled) or its string does not load.
std::string ResultMessage(int code);

} // namespace platform
