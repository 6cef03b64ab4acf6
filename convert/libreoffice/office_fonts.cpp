#include "convert/libreoffice/office_fonts.h"

#include "log/debug_log.h"
#include "platform/app_folders.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <unistd.h>

namespace fs = std::filesystem;

namespace office {
namespace {

const std::string_view kFontConfigVariable = "FONTCONFIG_FILE=";

// What fontconfig loads when the environment names no file.
const char* const kSystemFontConfig = "/etc/fonts/fonts.conf";

std::string XmlText(std::string_view text)
{
    std::string escaped;
    for (char c : text) {
        switch (c) {
        case '&':
            escaped += "&amp;";
            break;
        case '<':
            escaped += "&lt;";
            break;
        case '>':
            escaped += "&gt;";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

// The configuration the office would load without us: the file the user's
// environment names, else the system's.
fs::path BaseFontConfig(const std::vector<std::string>& environment)
{
    for (const auto& entry : environment) {
        if (!entry.starts_with(kFontConfigVariable))
            continue;
        const fs::path named = entry.substr(kFontConfigVariable.size());
        if (named.is_absolute() && named != FontConfigFile())
            return named;
    }
    return kSystemFontConfig;
}

// Lanes start side by side: each writes a file of its own and renames it
// into place, so an office never reads half a configuration.
bool WriteInPlace(const fs::path& file, const std::string& text)
{
    static std::atomic<unsigned> serial{0};
    std::error_code error;
    fs::create_directories(file.parent_path(), error);
    const fs::path written =
        file.string() + "." + std::to_string(::getpid()) + "-" + std::to_string(++serial) + ".new";
    std::ofstream out(written, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    bool done = static_cast<bool>(out);
    if (done) {
        fs::rename(written, file, error);
        done = !error;
    }
    fs::remove(written, error);
    return done;
}

std::string Glob(std::string_view folder, std::string_view files)
{
    return "<glob>" + XmlText(folder) + "/" + XmlText(files) + "</glob>";
}

// The hidden families are rejected, and so are the added folders' files but
// those shown, which acceptfont lets through again.
std::string HidingRules()
{
    std::string dirs;
    std::string rejected;
    std::string accepted;
    for (const auto family : HiddenFontFamilies())
        rejected += "<pattern><patelt name=\"family\"><string>" + XmlText(family) +
                    "</string></patelt></pattern>";
    for (const auto& folder : AddedFontFolders()) {
        dirs += "  <dir>" + XmlText(folder.folder) + "</dir>\n";
        rejected += Glob(folder.folder, "*");
        for (const auto files : folder.shown)
            accepted += Glob(folder.folder, files);
    }
    return dirs + "  <selectfont><rejectfont>" + rejected + "</rejectfont><acceptfont>" + accepted +
           "</acceptfont></selectfont>\n";
}

// Only for the family a text asks for first: the same family further down a
// fallback list must not pull our face in front of the system's choice. Bound
// like that family, so the face wins over one that merely covers the text's
// language.
std::string AliasRules()
{
    std::string rules;
    for (const auto& alias : OfficeFontAliases()) {
        rules += "  <match target=\"pattern\"><test qual=\"first\" name=\"family\"><string>" +
                 XmlText(alias.family) +
                 "</string></test><edit name=\"family\" mode=\"append\" "
                 "binding=\"same\"><string>" +
                 XmlText(alias.face) + "</string></edit></match>\n";
    }
    return rules;
}

} // namespace

const std::vector<FontAlias>& OfficeFontAliases()
{
    // Families that fontconfig and the office, left to themselves, draw in
    // the wrong style (a Ming face in Gothic), in the face of another region
    // or in a wider face (DejaVu Sans); the rest they map already. Decks name
    // them in English or in their own script.
    static const std::vector<FontAlias> aliases = {
        {"Calibri Light", "Carlito"},       {"Century Gothic", "URW Gothic"},
        {"Book Antiqua", "P052"},           {"MS Mincho", "Noto Serif CJK JP"},
        {"ＭＳ 明朝", "Noto Serif CJK JP"}, {"SimSun", "Noto Serif CJK SC"},
        {"宋体", "Noto Serif CJK SC"},      {"Microsoft YaHei", "Noto Sans CJK SC"},
        {"微软雅黑", "Noto Sans CJK SC"},   {"SimHei", "Noto Sans CJK SC"},
        {"黑体", "Noto Sans CJK SC"},       {"PMingLiU", "Noto Serif CJK TC"},
        {"新細明體", "Noto Serif CJK TC"},  {"MingLiU", "Noto Serif CJK TC"},
        {"細明體", "Noto Serif CJK TC"},    {"Malgun Gothic", "Noto Sans CJK KR"},
        {"맑은 고딕", "Noto Sans CJK KR"},  {"Gulim", "Noto Sans CJK KR"},
        {"굴림", "Noto Sans CJK KR"},       {"Batang", "Noto Serif CJK KR"},
        {"바탕", "Noto Serif CJK KR"},
    };
    return aliases;
}

const std::vector<AddedFontFolder>& AddedFontFolders()
{
    // Wine's folder holds its Windows faces and bitmap fonts; only its Tahoma
    // has the widths of the face it is named after.
    static const std::vector<AddedFontFolder> folders = {
        {"/usr/share/wine/fonts", {"tahoma.ttf", "tahomabd.ttf"}},
    };
    return folders;
}

const std::vector<std::string_view>& HiddenFontFamilies()
{
    // URW's base 35 but those of the font table. Seen, they would draw glyphs
    // that other faces lack, as a diamond in Arial text, and Symbol text in
    // Standard Symbols PS instead of OpenSymbol.
    static const std::vector<std::string_view> families = {
        "Nimbus Sans",         "Nimbus Sans Narrow", "Nimbus Roman", "Nimbus Mono PS",
        "Standard Symbols PS", "D050000L",           "Z003",
    };
    return families;
}

fs::path FontConfigFile()
{
    const fs::path cache = platform::AppCacheFolder();
    return cache.empty() ? fs::path() : cache / "office-fonts.conf";
}

std::string FontConfigText(const fs::path& baseConfig)
{
    std::string text = "<?xml version=\"1.0\"?>\n"
                       "<!DOCTYPE fontconfig SYSTEM \"urn:fontconfig:fonts.dtd\">\n"
                       "<!-- Korvanta's offices only; rewritten at each office start. -->\n"
                       "<fontconfig>\n"
                       "  <include ignore_missing=\"yes\">" +
                       XmlText(baseConfig.string()) + "</include>\n";
    return text + HidingRules() + AliasRules() + "</fontconfig>\n";
}

void UseOfficeFonts(std::vector<std::string>& environment)
{
    const fs::path file = FontConfigFile();
    if (file.empty() || !WriteInPlace(file, FontConfigText(BaseFontConfig(environment)))) {
        LogError("UseOfficeFonts", "Font configuration [%s] not written.", file.c_str());
        return;
    }
    std::erase_if(environment,
                  [](const std::string& entry) { return entry.starts_with(kFontConfigVariable); });
    environment.push_back(std::string(kFontConfigVariable) + file.string());
}

} // namespace office
