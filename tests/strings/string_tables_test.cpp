#include "platform/string_resources.h"
#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

using namespace platform;

namespace {

// Restores the English table after each test.
class StringTables : public testing::Test
{
protected:
    void TearDown() override { ASSERT_TRUE(SelectStringTable(kEnglishStringTable)); }
};

std::set<int> Ids(const StringTable& table)
{
    std::set<int> ids;
    for (const auto& [id, text] : table)
        ids.insert(id);
    return ids;
}

// The single '&' marks of a text ("&&" is a literal ampersand): their
// positions in the text.
std::vector<std::size_t> Mnemonics(const std::string& text)
{
    std::vector<std::size_t> marks;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (i + 1 < text.size() && text[i + 1] == '&')
            ++i;
        else
            marks.push_back(i);
    }
    return marks;
}

// The "%1" to "%9" a text fills in.
std::multiset<std::string> Placeholders(const std::string& text)
{
    std::multiset<std::string> found;
    for (std::size_t i = text.find('%'); i != std::string::npos; i = text.find('%', i + 1)) {
        if (i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9')
            found.insert(text.substr(i, 2));
    }
    return found;
}

} // namespace

TEST(StringTableText, ParsesLinesCommentsAndEscapes)
{
    const auto table = ParseStringTable("# comment\n"
                                        "\n"
                                        "2\t&Close\r\n"
                                        "17\ta\\\\b\\tc\\nd\n"
                                        "1004\tdrag && drop");
    ASSERT_TRUE(table);
    EXPECT_EQ((StringTable{{2, "&Close"}, {17, "a\\b\tc\nd"}, {1004, "drag && drop"}}), *table);
}

TEST(StringTableText, RefusesMalformedTables)
{
    EXPECT_FALSE(ParseStringTable("2 &Close\n"));           // no tab
    EXPECT_FALSE(ParseStringTable("\t&Close\n"));           // no ID
    EXPECT_FALSE(ParseStringTable("2x\t&Close\n"));         // not a number
    EXPECT_FALSE(ParseStringTable("-2\t&Close\n"));         // negative
    EXPECT_FALSE(ParseStringTable("2\ta\n2\tb\n"));         // repeated
    EXPECT_FALSE(ParseStringTable("17\t.\\help\n"));        // unknown escape
    EXPECT_FALSE(ParseStringTable("17\tends with \\"));     // cut escape
    EXPECT_FALSE(ParseStringTable("9\tbad \xC3\x28 text")); // invalid UTF-8
    EXPECT_TRUE(ParseStringTable(""));
}

TEST(StringTableText, CutsToCharactersNotBytes)
{
    EXPECT_EQ("ab", CutToCharacters("abc", 2));
    EXPECT_EQ("äö", CutToCharacters("äöü", 2));
    EXPECT_EQ("日本", CutToCharacters("日本語", 2));
    EXPECT_EQ("short", CutToCharacters("short", 127));
    EXPECT_EQ("", CutToCharacters("abc", 0));
}

TEST(CompiledTables, EveryLanguageHoldsEveryId)
{
    const auto english = LoadStringTable(kEnglishStringTable);
    ASSERT_TRUE(english);
    EXPECT_EQ(0u, english->count(1)) << "the English table has no string 1";
    EXPECT_EQ(52u, english->size());
    std::set<int> others = Ids(*english);
    others.insert(1);
    ASSERT_EQ(8u, StringTableLanguages().size());
    for (int language : StringTableLanguages()) {
        if (language == kEnglishStringTable)
            continue;
        const auto table = LoadStringTable(language);
        ASSERT_TRUE(table) << language;
        EXPECT_EQ(others, Ids(*table)) << language;
    }
    EXPECT_FALSE(LoadStringTable(1034));
}

TEST(CompiledTables, StringsFitTheirControls)
{
    for (int language : StringTableLanguages()) {
        const auto table = LoadStringTable(language);
        ASSERT_TRUE(table) << language;
        for (const auto& [id, text] : *table) {
            EXPECT_FALSE(text.empty()) << language << "/" << id;
            EXPECT_LE(Utf8CharacterCount(text), 127u) << language << "/" << id;
            EXPECT_EQ(std::string::npos, text.find_first_of("\t\n")) << language << "/" << id;
            EXPECT_LE(Mnemonics(text).size(), 1u) << language << "/" << id << ": " << text;
        }
    }
}

TEST(CompiledTables, TranslationsFillInWhatTheEnglishTextFillsIn)
{
    const auto english = LoadStringTable(kEnglishStringTable);
    ASSERT_TRUE(english);
    for (int language : StringTableLanguages()) {
        const auto table = LoadStringTable(language);
        ASSERT_TRUE(table) << language;
        for (const auto& [id, text] : *english) {
            const auto translated = table->find(id);
            if (translated != table->end()) {
                EXPECT_EQ(Placeholders(text), Placeholders(translated->second))
                    << language << "/" << id << ": " << translated->second;
            }
        }
    }
}

TEST(CompiledTables, EastAsianMnemonicsFollowTheWord)
{
    for (int language : {1041, 2052}) {
        const auto table = LoadStringTable(language);
        ASSERT_TRUE(table);
        for (const auto& [id, text] : *table) {
            for (std::size_t mark : Mnemonics(text)) {
                ASSERT_GE(mark, 1u) << language << "/" << id;
                EXPECT_EQ("(&", text.substr(mark - 1, 2)) << language << "/" << id << ": " << text;
                EXPECT_EQ(")", text.substr(mark + 2, 1)) << language << "/" << id << ": " << text;
            }
        }
    }
}

TEST(CompiledTables, CaptionsAndHelpPagesAgree)
{
    const std::map<int, std::string> helpSuffix{{1031, "deu"}, {1033, "eng"}, {1036, "fra"},
                                                {1040, "ita"}, {1041, "jpn"}, {1043, "nld"},
                                                {2052, "chs"}, {3082, "spa"}};
    for (int language : StringTableLanguages()) {
        const auto table = LoadStringTable(language);
        ASSERT_TRUE(table);
        EXPECT_EQ(table->at(102), table->at(1031)) << language;
        EXPECT_EQ(table->at(102), table->at(21)) << language;
        EXPECT_EQ("./help/korvanta_help_" + helpSuffix.at(language) + ".html", table->at(17));
    }
}

TEST_F(StringTables, LoadFromTheActiveTable)
{
    EXPECT_EQ(kEnglishStringTable, ActiveStringTable());
    EXPECT_EQ("QUORVEL Korvanta Type A", LoadResourceString(102));
    EXPECT_FALSE(LoadResourceString(1));
    EXPECT_FALSE(LoadResourceString(9999));

    ASSERT_TRUE(SelectStringTable(1041));
    EXPECT_EQ(1041, ActiveStringTable());
    EXPECT_EQ("OK(&O)", LoadResourceString(1));

    EXPECT_FALSE(SelectStringTable(1049));
    EXPECT_EQ(1041, ActiveStringTable()) << "a missing table changes nothing";
}

TEST_F(StringTables, ResultMessagesComeFromTheActiveTable)
{
    EXPECT_EQ("Unable to open the file.", ResultMessage(13));
    EXPECT_EQ("Unable to open the destination folder.", ResultMessage(30));
    EXPECT_EQ("Failed to convert the file.", ResultMessage(259));
    EXPECT_EQ("", ResultMessage(1)) << "a cancelled run shows no message";

    ASSERT_TRUE(SelectStringTable(1031));
    EXPECT_EQ("Datei kann nicht geöffnet werden.", ResultMessage(13));
    EXPECT_EQ("Datei erfolgreich konvertiert und gespeichert.", ResultMessage(0));

    UseStringTable({{11, "only this"}}, 9);
    EXPECT_EQ(9, ActiveStringTable());
    EXPECT_EQ("only this", ResultMessage(15));
    EXPECT_EQ("", ResultMessage(23)) << "a string that does not load gives an empty message";
}
