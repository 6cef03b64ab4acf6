#include "tests/profiles/profile_test_env.h"

#include <gtest/gtest.h>

namespace {

using ProfileList = std::vector<ConnectProfileData>;

// A profile file written by the format's rules, and what loading it gives.
struct FormatCase
{
    const char* name;
    std::string file;
    bool loadResult;
    ProfileList profiles;
};

void PrintTo(const FormatCase& formatCase, std::ostream* out)
{
    *out << formatCase.name;
}

std::string Block(int n, const std::string& name, const std::string& destination,
                  const std::string& authentication = "FALSE", const std::string& id = "",
                  const std::string& password = "")
{
    return "LIST:[" + std::to_string(n) + "]\n[DISP_NAME]" + name + "\n[Destination]" +
           destination + "\n[Authentication]" + authentication + "\n[ID]" + id + "\n[Password]" +
           password + "\n";
}

const ConnectProfileData kA{"A", "ftp://a/", false, "", ""};
const ConnectProfileData kC{"C", "\\\\c\\s", false, "", ""};

std::vector<FormatCase> Cases()
{
    return {
        {"EmptyList", ProfileFileByTheRules(""), true, {}},
        {"OneAnonymousFtpServer",
         ProfileFileByTheRules(Block(0, "Office", "ftp://server/scans")),
         true,
         {{"Office", "ftp://server/scans", false, "", ""}}},
        {"ShareAndCredentialsBeyondAscii",
         ProfileFileByTheRules(
             Block(0, "Büro Wien", "\\\\fileserver\\Präsentationen", "TRUE", "DOMAIN\\anna",
                   "p@ss word:1") +
             Block(1, "東京 ロビー", "ftp://192.0.2.10:2121/slides/", "TRUE", "display")),
         true,
         {{"Büro Wien", "\\\\fileserver\\Präsentationen", true, "DOMAIN\\anna", "p@ss word:1"},
          {"東京 ロビー", "ftp://192.0.2.10:2121/slides/", true, "display", ""}}},
        {"AGapBetweenBlocks",
         ProfileFileByTheRules(Block(0, "A", "ftp://a/") + Block(2, "C", "\\\\c\\s")),
         true,
         {kA, kC}},
        {"BlocksInNumberOrder",
         ProfileFileByTheRules(Block(1, "C", "\\\\c\\s") + Block(0, "A", "ftp://a/")),
         true,
         {kA, kC}},
        {"NoBlockBeyond31",
         ProfileFileByTheRules(Block(0, "A", "ftp://a/") + Block(32, "C", "\\\\c\\s")),
         true,
         {kA}},
        {"OnlyUpperCaseTrueAuthenticates",
         ProfileFileByTheRules(Block(0, "Lower", "ftp://l/", "true", "u", "p")),
         true,
         {{"Lower", "ftp://l/", false, "u", "p"}}},
        {"AKeyInsideAValueIsText",
         ProfileFileByTheRules(Block(0, "Name [Destination]inside", "ftp://real/")),
         true,
         {{"Name [Destination]inside", "ftp://real/", false, "", ""}}},
        {"Block10IsNotBlock1",
         ProfileFileByTheRules(Block(10, "Ten", "ftp://ten/")),
         true,
         {{"Ten", "ftp://ten/", false, "", ""}}},
        {"AFileNeverScrambled", Block(0, "Plain", "ftp://plain/"), true, {}},
        {"ZeroLength", "", false, {}},
    };
}

class ProfileFileFormat : public ::testing::TestWithParam<FormatCase>
{};

} // namespace

TEST_P(ProfileFileFormat, LoadsAsTheRulesSayAndSavesBackTheSameList)
{
    const FormatCase& formatCase = GetParam();
    ConfigHome home;
    std::filesystem::create_directory(home.Folder());
    WriteFile(home.File(), formatCase.file);
    ExpectLoadedAndSavedBack(home, formatCase.loadResult, formatCase.profiles);
}

INSTANTIATE_TEST_SUITE_P(Files, ProfileFileFormat, ::testing::ValuesIn(Cases()),
                         [](const ::testing::TestParamInfo<FormatCase>& info) {
                             return std::string(info.param.name);
                         });
