#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <string>
#include <utility>

namespace {

// What the width probe printed: "table", "font" and each dialog's width.
struct Started
{
    int table = 0;
    std::string font;
    std::map<std::string, int> widths;
};

Started StartUnder(const std::string& lang)
{
    TempFolder home;
    const ProgramResult result =
        RunProgram({DIALOG_WIDTHS_PROBE_PATH}, {{"LANG", lang},
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
