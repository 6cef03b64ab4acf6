#include "platform/locale_map.h"

#include "platform/string_resources.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <string>

namespace platform {
namespace {

struct LocaleEntry
{
    std::string_view name;
    int lcid;
};

// POSIX names of the supported locales and of common others. Three supported
// identifiers have no POSIX name and are never reached from here: 0x040A
// (Spanish, traditional sort), 0x1C0C (French, Caribbean) and 0xE40C
// (French, North Africa).
constexpr std::array<LocaleEntry, 77> kLocales{{
    {"ja_JP", 0x0411}, {"de_DE", 0x0407}, {"de_CH", 0x0807}, {"de_AT", 0x0C07},  {"de_LU", 0x1007},
    {"de_LI", 0x1407}, {"fr_FR", 0x040C}, {"fy_NL", 0x0462}, {"fr_BE", 0x080C},  {"fr_CA", 0x0C0C},
    {"fr_CH", 0x100C}, {"fr_LU", 0x140C}, {"fr_MC", 0x180C}, {"fr_RE", 0x200C},  {"fr_CD", 0x240C},
    {"fr_SN", 0x280C}, {"fr_CM", 0x2C0C}, {"fr_CI", 0x300C}, {"fr_ML", 0x340C},  {"fr_MA", 0x380C},
    {"fr_HT", 0x3C0C}, {"it_IT", 0x0410}, {"it_CH", 0x0810}, {"es_ES", 0x0C0A},  {"es_MX", 0x080A},
    {"es_GT", 0x100A}, {"es_CR", 0x140A}, {"es_PA", 0x180A}, {"es_DO", 0x1C0A},  {"es_VE", 0x200A},
    {"es_CO", 0x240A}, {"es_PE", 0x280A}, {"es_AR", 0x2C0A}, {"es_EC", 0x300A},  {"es_CL", 0x340A},
    {"es_UY", 0x380A}, {"es_PY", 0x3C0A}, {"es_BO", 0x400A}, {"es_SV", 0x440A},  {"es_HN", 0x480A},
    {"es_NI", 0x4C0A}, {"es_PR", 0x500A}, {"es_US", 0x540A}, {"es_419", 0xE40A}, {"nl_NL", 0x0413},
    {"nl_BE", 0x0813}, {"zh_CN", 0x0804}, {"zh_SG", 0x1004}, {"en_US", 0x0409},  {"en_GB", 0x0809},
    {"en_AU", 0x0C09}, {"en_CA", 0x1009}, {"en_NZ", 0x1409}, {"en_IE", 0x1809},  {"en_ZA", 0x1C09},
    {"en_IN", 0x4009}, {"en_SG", 0x4809}, {"pt_BR", 0x0416}, {"pt_PT", 0x0816},  {"ru_RU", 0x0419},
    {"ko_KR", 0x0412}, {"zh_TW", 0x0404}, {"zh_HK", 0x0C04}, {"zh_MO", 0x1404},  {"pl_PL", 0x0415},
    {"cs_CZ", 0x0405}, {"da_DK", 0x0406}, {"el_GR", 0x0408}, {"fi_FI", 0x040B},  {"he_IL", 0x040D},
    {"hu_HU", 0x040E}, {"nb_NO", 0x0414}, {"sv_SE", 0x041D}, {"tr_TR", 0x041F},  {"uk_UA", 0x0422},
    {"ar_SA", 0x0401}, {"ca_ES", 0x0403},
}};

// The supported locales, grouped by the language their users see.
constexpr std::array<int, 51> kSupportedLocales{
    0x0411,                                                 // Japanese
    0x0407, 0x0807, 0x0C07, 0x1007, 0x1407,                 // German
    0x040C, 0x0462, 0x080C, 0x0C0C, 0x100C, 0x140C, 0x180C, // French
    0x1C0C, 0x200C, 0x240C, 0x280C, 0x2C0C, 0x300C, 0x340C, //
    0x380C, 0x3C0C, 0xE40C,                                 //
    0x0410, 0x0810,                                         // Italian
    0x040A, 0x080A, 0x0C0A, 0x100A, 0x140A, 0x180A, 0x1C0A, // Spanish
    0x200A, 0x240A, 0x280A, 0x2C0A, 0x300A, 0x340A, 0x380A, //
    0x3C0A, 0x400A, 0x440A, 0x480A, 0x4C0A, 0x500A, 0x540A, //
    0xE40A,                                                 //
    0x0413, 0x0813,                                         // Dutch
    0x0804, 0x1004,                                         // Chinese
};

constexpr int PrimaryLanguage(int lcid)
{
    return lcid & 0x3FF;
}

} // namespace

int LocaleIdFromName(std::string_view name)
{
    name = name.substr(0, name.find_first_of(".@"));
    std::string normalized(name);
    std::replace(normalized.begin(), normalized.end(), '-', '_');
    const auto found =
        std::find_if(kLocales.begin(), kLocales.end(),
                     [&](const LocaleEntry& entry) { return entry.name == normalized; });
    return found == kLocales.end() ? 0 : found->lcid;
}

bool IsSupportedLocaleId(int lcid)
{
    return std::find(kSupportedLocales.begin(), kSupportedLocales.end(), lcid) !=
           kSupportedLocales.end();
}

int StringTableForLocaleId(int lcid)
{
    if (!IsSupportedLocaleId(lcid))
        return kEnglishStringTable;
    switch (PrimaryLanguage(lcid)) {
    case 0x07:
        return 1031;
    case 0x0C:
        return 1036;
    case 0x10:
        return 1040;
    case 0x11:
        return 1041;
    case 0x13:
    case 0x62: // Frisian (Netherlands): its users read Dutch
        return 1043;
    case 0x04:
        return 2052;
    case 0x0A:
        return 3082;
    default:
        return kEnglishStringTable;
    }
}

int CurrentLocaleId()
{
    return LocaleIdFromName(QLocale::system().name().toStdString());
}

int SelectStringTableForUser()
{
    const int language = StringTableForLocaleId(CurrentLocaleId());
    if (SelectStringTable(language))
        return language;
    SelectStringTable(kEnglishStringTable);
    return kEnglishStringTable;
}

} // namespace platform
