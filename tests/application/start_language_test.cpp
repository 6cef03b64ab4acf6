#include "tests/support/run_program.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// What the main dialog finds when the program starts under a locale.
std::string StartUnder(const std::string& lang, const TempFolder& home)
{
    const ProgramResult result =
        RunProgram({START_PROBE_PATH}, {{"LANG", lang},
                                        {"LC_ALL", ""},
                                        {"LC_MESSAGES", ""},
                                        {"LANGUAGE", ""},
                                        {"QT_QPA_PLATFORM", "offscreen"},
                                        {"XDG_CONFIG_HOME", (home / "config").string()},
                                        {"TMPDIR", home.Path().string()}});
    EXPECT_EQ(0, result.status) << result.err;
    return result.out;
}

} // namespace

TEST(StartLanguage, SupportedLocalesKeepTheirLanguageAndAllOthersGetEnglish)
{
    TempFolder home;
    const std::map<std::string, std::string> expected{
        {"de_AT.UTF-8", "1 1031\n"}, {"fy_NL.UTF-8", "1 1043\n"}, {"ja_JP.UTF-8", "1 1041\n"},
        {"zh_CN.UTF-8", "1 2052\n"}, {"en_US.UTF-8", "0 1033\n"}, {"en_GB.UTF-8", "0 1033\n"},
        {"pt_BR.UTF-8", "0 1033\n"}, {"ru_RU.UTF-8", "0 1033\n"}, {"C", "0 1033\n"},
    };
    for (const auto& [lang, seen] : expected)
        EXPECT_EQ(seen, StartUnder(lang, home)) << lang;
}
