#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace {

// What the language probe printed: the string table, Qt's text, the font
// and each dialog's width.
struct Started
{
    int table = 0;
    std::string qtText;
    std::string font;
    std::map<std::string, int> widths;
};

Started StartUnder(const std::string& lang)
{
    TempFolder home;
    const ProgramResult result =
        RunProgram({LANGUAGE_PROBE_PATH}, {{"LANG", lang},
                                           {"LC_ALL", ""},
                                           {"LC_MESSAGES", ""},
                                           {"LANGUAGE", ""},
                                           {"QT_QPA_PLATFORM", "offscreen"},
                                           {"XDG_CONFIG_HOME", (home / "config").string()},
                                           {"XDG_RUNTIME_DIR", home.Path().string()},
                                           {"TMPDIR", home.Path().string()}});
    EXPECT_EQ(0, result.status) << result.err;
    Started started;
    std::istringstream lines(result.out);
    for (std::string key; lines >> key;) {
        if (key == "table")
            lines >> started.table;
        else if (key == "qt")
            std::getline(lines >> std::ws, started.qtText);
        else if (key == "font")
            std::getline(lines >> std::ws, started.font);
        else
            lines >> started.widths[key];
    }
    return started;
}

} // namespace

// Japanese and Chinese users get a CJK font; their dialogs still fit where
// the English ones fit.
TEST(ProgramLanguage, QtSpeaksTheLanguageOfTheStringTable)
{
    const std::map<std::string, std::pair<int, std::string>> expected{
        {"en_US.UTF-8", {1033, "Look in:"}},   {"pt_BR.UTF-8", {1033, "Look in:"}},
        {"de_AT.UTF-8", {1031, "Suchen in:"}}, {"fr_CA.UTF-8", {1036, "Voir dans :"}},
        {"ja_JP.UTF-8", {1041, "アドレス:"}},  {"zh_CN.UTF-8", {2052, "查找范围："}},
    };
    for (const auto& [lang, seen] : expected) {
        const Started started = StartUnder(lang);
        EXPECT_EQ(seen.first, started.table) << lang;
        EXPECT_EQ(seen.second, started.qtText) << lang;
    }
}

TEST(DialogWidths, JapaneseAndChineseDialogsAreAtMostAQuarterWiderThanEnglish)
{
    const Started english = StartUnder("en_US.UTF-8");
    ASSERT_EQ(1033, english.table);
    ASSERT_EQ(5u, english.widths.size()) << "main, processing, version, list, edit";

    const std::pair<std::string, int> cjk[] = {{"ja_JP.UTF-8", 1041}, {"zh_CN.UTF-8", 2052}};
    for (const auto& [lang, table] : cjk) {
        SCOPED_TRACE(lang);
        const Started started = StartUnder(lang);
        EXPECT_EQ(table, started.table);
        EXPECT_NE(std::string::npos, started.font.find("CJK")) << started.font;
        for (const auto& [dialog, width] : english.widths) {
            EXPECT_LE(started.widths.at(dialog) * 4, width * 5)
                << "dialog " << dialog << ": " << started.widths.at(dialog) << " px against "
                << width << " px in English";
        }
    }
}
