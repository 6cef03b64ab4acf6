#include "convert/libreoffice/libreoffice_server.h"
#include "convert/libreoffice/office_fonts.h"
#include "convert/libreoffice/office_process.h"
#include "convert/result_codes.h"
#include "tests/support/office_deck.h"
#include "tests/support/run_program.h"
#include "tests/support/slide_pixels.h"
#include "tests/support/temp_folder.h"

#include <QImage>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// How a slide's text is tagged, and a text in that language.
struct Script
{
    const char* language;
    const char* country;
    const char* fontconfigLanguage;
    const char* text;
    bool asian;
};

// LibreOffice writes no East Asian typeface into a .pptx, only the Latin
// one; its .ppt keeps both.
std::string DeckFormat(const Script& script)
{
    return script.asian ? "ppt" : "pptx";
}

const Script kLatin{"en", "US", "en",
                    "Quarterly figures: revenue grew 12% while costs fell, and the team "
                    "shipped four releases on time.",
                    false};
const Script kJapanese{"ja", "JP", "ja", "吾輩は猫である。名前はまだ無い。骨、直、角、化、写。",
                       true};
const Script kSimplifiedChinese{"zh", "CN", "zh-cn", "简体中文字形测试：骨、直、角、化、写。",
                                true};
const Script kTraditionalChinese{"zh", "TW", "zh-tw", "繁體中文字形測試：骨、直、角、化、寫。",
                                 true};
const Script kKorean{"ko", "KR", "ko", "한국어 글꼴 시험입니다. 骨、直、角、化、寫。", true};

// An Office family, the free face that must draw it, and a face that draws
// the same text visibly otherwise, as a missing stand-in's fallback would:
// DejaVu for Latin text; for CJK text, the other style of the same region
// (the Gothic where a Ming face is due), as the text's language alone picks
// the region's forms.
struct FontTwin
{
    const char* name; // of the test case
    const char* family;
    const char* twin;
    const char* unlike;
    const Script* script;
};

void PrintTo(const FontTwin& pair, std::ostream* out)
{
    *out << pair.family << " drawn as " << pair.twin;
}

// Families in their own script as the shared decks name them. Batang is
// here as 바탕 only: LibreOffice's .ppt filter renames "Batang" on saving.
const FontTwin kTwins[] = {
    {"Calibri", "Calibri", "Carlito", "DejaVu Sans", &kLatin},
    {"Cambria", "Cambria", "Caladea", "DejaVu Serif", &kLatin},
    {"Arial", "Arial", "Liberation Sans", "DejaVu Sans", &kLatin},
    {"Helvetica", "Helvetica", "Liberation Sans", "DejaVu Sans", &kLatin},
    {"TimesNewRoman", "Times New Roman", "Liberation Serif", "DejaVu Serif", &kLatin},
    {"CourierNew", "Courier New", "Liberation Mono", "DejaVu Sans Mono", &kLatin},
    {"CalibriLight", "Calibri Light", "Carlito", "DejaVu Sans", &kLatin},
    {"CenturyGothic", "Century Gothic", "URW Gothic", "DejaVu Sans", &kLatin},
    {"PalatinoLinotype", "Palatino Linotype", "P052", "DejaVu Serif", &kLatin},
    {"BookAntiqua", "Book Antiqua", "P052", "DejaVu Serif", &kLatin},
    {"BookmanOldStyle", "Bookman Old Style", "URW Bookman", "DejaVu Serif", &kLatin},
    {"CenturySchoolbook", "Century Schoolbook", "C059", "DejaVu Serif", &kLatin},
    {"ArialNarrow", "Arial Narrow", "Liberation Sans Narrow", "DejaVu Sans", &kLatin},
    // Wine's face bears Tahoma's own name: the test that counts is that it is
    // not the DejaVu Sans the family fell back to.
    {"Tahoma", "Tahoma", "Tahoma", "DejaVu Sans", &kLatin},
    {"MSPGothic", "MS PGothic", "Noto Sans CJK JP", "Noto Serif CJK JP", &kJapanese},
    {"MSPGothicInJapanese", "ＭＳ Ｐゴシック", "Noto Sans CJK JP", "Noto Serif CJK JP", &kJapanese},
    {"MSGothic", "MS Gothic", "Noto Sans CJK JP", "Noto Serif CJK JP", &kJapanese},
    {"Meiryo", "Meiryo", "Noto Sans CJK JP", "Noto Serif CJK JP", &kJapanese},
    {"YuGothic", "Yu Gothic", "Noto Sans CJK JP", "Noto Serif CJK JP", &kJapanese},
    {"MSMincho", "MS Mincho", "Noto Serif CJK JP", "Noto Sans CJK JP", &kJapanese},
    {"SimSun", "SimSun", "Noto Serif CJK SC", "Noto Sans CJK SC", &kSimplifiedChinese},
    {"SimSunInChinese", "宋体", "Noto Serif CJK SC", "Noto Sans CJK SC", &kSimplifiedChinese},
    {"MicrosoftYaHei", "Microsoft YaHei", "Noto Sans CJK SC", "Noto Serif CJK SC",
     &kSimplifiedChinese},
    {"SimHei", "SimHei", "Noto Sans CJK SC", "Noto Serif CJK SC", &kSimplifiedChinese},
    {"PMingLiU", "PMingLiU", "Noto Serif CJK TC", "Noto Sans CJK TC", &kTraditionalChinese},
    {"PMingLiUInChinese", "新細明體", "Noto Serif CJK TC", "Noto Sans CJK TC",
     &kTraditionalChinese},
    {"MingLiU", "MingLiU", "Noto Serif CJK TC", "Noto Sans CJK TC", &kTraditionalChinese},
    {"MalgunGothic", "Malgun Gothic", "Noto Sans CJK KR", "Noto Serif CJK KR", &kKorean},
    {"MalgunGothicInKorean", "맑은 고딕", "Noto Sans CJK KR", "Noto Serif CJK KR", &kKorean},
    {"Gulim", "Gulim", "Noto Sans CJK KR", "Noto Serif CJK KR", &kKorean},
    {"BatangInKorean", "바탕", "Noto Serif CJK KR", "Noto Sans CJK KR", &kKorean},
};

std::string TextStyle(int page, const std::string& family, const Script& script)
{
    std::string properties = " fo:font-size=\"32pt\" style:font-size-asian=\"32pt\"";
    if (script.asian) {
        properties += " style:font-family-asian=\"" + family + "\" style:language-asian=\"" +
                      script.language + "\" style:country-asian=\"" + script.country + "\"";
    } else {
        properties += " fo:font-family=\"" + family + "\" fo:language=\"" + script.language +
                      "\" fo:country=\"" + script.country + "\"";
    }
    return "<style:style style:name=\"Face" + std::to_string(page) +
           "\" style:family=\"graphic\"><style:graphic-properties draw:stroke=\"none\" "
           "draw:fill=\"none\"/><style:text-properties" +
           properties + "/></style:style>\n";
}

std::string Page(int page, const Script& script)
{
    return "<draw:page draw:name=\"Face" + std::to_string(page) +
           "\" draw:master-page-name=\"Default\"><draw:frame draw:style-name=\"Face" +
           std::to_string(page) +
           "\" svg:x=\"2cm\" svg:y=\"2cm\" svg:width=\"28cm\" svg:height=\"16cm\">"
           "<draw:text-box><text:p>" +
           script.text + "</text:p></draw:text-box></draw:frame></draw:page>\n";
}

// Three slides with the same text box: in the Office family, in its twin,
// and in the unlike face.
std::string TwinDeck(const FontTwin& pair)
{
    const std::string faces[] = {pair.family, pair.twin, pair.unlike};
    std::string styles;
    std::string pages;
    for (int page = 1; page <= 3; ++page) {
        styles += TextStyle(page, faces[page - 1], *pair.script);
        pages += Page(page, *pair.script);
    }
    return FlatPresentation(styles, "", pages);
}

// The family fontconfig gives for a pattern through our offices' configuration.
std::string OfficeFontMatch(const std::string& family, const Script& script)
{
    return RunProgram({"/usr/bin/fc-match", "-f", "%{family[0]}",
                       family + ":lang=" + script.fontconfigLanguage},
                      {{"FONTCONFIG_FILE", office::FontConfigFile().string()}})
        .out;
}

int DifferingPixels(const QImage& one, const QImage& other)
{
    if (one.size() != other.size())
        return one.width() * one.height();
    int count = 0;
    for (int y = 0; y < one.height(); ++y) {
        for (int x = 0; x < one.width(); ++x)
            count += one.pixel(x, y) != other.pixel(x, y) ? 1 : 0;
    }
    return count;
}

class OfficeFontTwins : public ::testing::TestWithParam<FontTwin>
{
protected:
    void SetUp() override { LibreOfficeServer::Instance().SetLaneCount(1); }
    void TearDown() override
    {
        EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "an office was left running";
    }

    TempFolder folder;
};

} // namespace

TEST_P(OfficeFontTwins, TextInTheOfficeFamilyIsDrawnExactlyAsInItsTwin)
{
    const FontTwin& pair = GetParam();
    const fs::path deck =
        SaveAsDeck(TwinDeck(pair), folder.Path(), "twins", DeckFormat(*pair.script));
    ASSERT_FALSE(deck.empty()) << "LibreOffice did not save the deck";
    const fs::path images = folder / "images";
    ASSERT_EQ(RESULT_SUCCESS, ExportSlides(deck, images));

    // The twin is installed, and our offices' fonts give it for the family.
    EXPECT_EQ(pair.twin, OfficeFontMatch(pair.twin, *pair.script));
    EXPECT_EQ(pair.twin, OfficeFontMatch(pair.family, *pair.script));

    const QImage family = SlidePixels(images, 1, 3);
    const QImage twin = SlidePixels(images, 2, 3);
    const QImage unlike = SlidePixels(images, 3, 3);
    ASSERT_FALSE(family.isNull() || twin.isNull() || unlike.isNull()) << "a slide did not decode";
    EXPECT_EQ(0, DifferingPixels(family, twin)) << "pixels differ from the twin's";
    // Were the twin missing, both would fall back alike and look the same.
    EXPECT_LT(1000, DifferingPixels(twin, unlike)) << "the twin looks like " << pair.unlike;
}

INSTANTIATE_TEST_SUITE_P(OfficeFamilies, OfficeFontTwins, ::testing::ValuesIn(kTwins),
                         [](const ::testing::TestParamInfo<FontTwin>& info) {
                             return std::string(info.param.name);
                         });
