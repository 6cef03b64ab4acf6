#include "platform/locale_map.h"
#include "platform/string_resources.h"

#include <QProcess>
#include <QProcessEnvironment>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>

using namespace platform;

TEST(LocaleMap, NamesToLocaleIdentifiers)
{
    EXPECT_EQ(0x0C07, LocaleIdFromName("de_AT"));
    EXPECT_EQ(0x0C07, LocaleIdFromName("de_AT.UTF-8@euro"));
    EXPECT_EQ(0x0C0C, LocaleIdFromName("fr_CA.UTF-8"));
    EXPECT_EQ(0x080A, LocaleIdFromName("es-MX"));
    EXPECT_EQ(0x1004, LocaleIdFromName("zh_SG"));
    EXPECT_EQ(0x0411, LocaleIdFromName("ja_JP.eucJP"));
    EXPECT_EQ(0x0409, LocaleIdFromName("en_US.UTF-8"));
    EXPECT_EQ(0x0416, LocaleIdFromName("pt_BR"));
    EXPECT_EQ(0x0419, LocaleIdFromName("ru_RU"));
    EXPECT_EQ(0x0462, LocaleIdFromName("fy_NL"));
    EXPECT_EQ(0, LocaleIdFromName("C"));
    EXPECT_EQ(0, LocaleIdFromName("POSIX"));
    EXPECT_EQ(0, LocaleIdFromName("C.UTF-8"));
    EXPECT_EQ(0, LocaleIdFromName(""));
}

TEST(LocaleMap, SupportedLocalesKeepTheirLanguage)
{
    EXPECT_TRUE(IsSupportedLocaleId(0x0C07));
    EXPECT_TRUE(IsSupportedLocaleId(0x0462));
    EXPECT_TRUE(IsSupportedLocaleId(0xE40A));
    for (int english : {0x0409, 0x0809, 0x0416, 0x0419, 0x0404, 0})
        EXPECT_FALSE(IsSupportedLocaleId(english)) << std::hex << english;

    const std::pair<const char*, int> expected[] = {
        {"de_AT", 1031}, {"fr_CA", 1036}, {"es_MX", 3082}, {"zh_SG", 2052}, {"ja_JP", 1041},
        {"it_CH", 1040}, {"nl_BE", 1043}, {"fy_NL", 1043}, {"en_US", 1033}, {"pt_BR", 1033},
        {"ru_RU", 1033}, {"zh_TW", 1033}, {"C", 1033},     {"POSIX", 1033}};
    for (const auto& [name, table] : expected)
        EXPECT_EQ(table, StringTableForLocaleId(LocaleIdFromName(name))) << name;
}

TEST(LocaleMap, EverySupportedLocaleHasATableOfItsOwn)
{
    int supported = 0;
    for (int lcid = 0; lcid <= 0xFFFF; ++lcid) {
        if (!IsSupportedLocaleId(lcid))
            continue;
        ++supported;
        const int table = StringTableForLocaleId(lcid);
        EXPECT_NE(kEnglishStringTable, table) << std::hex << lcid;
        EXPECT_TRUE(std::count(StringTableLanguages().begin(), StringTableLanguages().end(), table))
            << std::hex << lcid;
    }
    EXPECT_EQ(51, supported);
}

namespace {

struct ProbeResult
{
    int lcid = -1;
    int table = -1;
    std::string message;
};

// Runs the probe in a fresh process with only the given locale variables.
ProbeResult Probe(const QStringList& variables, int code)
{
    QProcessEnvironment environment;
    environment.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
    for (const QString& variable : variables)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(LOCALE_PROBE_PATH), {QString::number(code)});
    ProbeResult result;
    if (!probe.waitForFinished(20000) || probe.exitCode() != 0)
        return result;
    const QString output = QString::fromUtf8(probe.readAllStandardOutput()).trimmed();
    result.lcid = output.section(u' ', 0, 0).toInt();
    result.table = output.section(u' ', 1, 1).toInt();
    result.message = output.section(u' ', 2).toStdString();
    return result;
}

} // namespace

TEST(LocaleAtStart, TheUsersLocalePicksTheTable)
{
    const ProbeResult german = Probe({"LANG=de_DE.UTF-8"}, 13);
    EXPECT_EQ(0x0407, german.lcid);
    EXPECT_EQ(1031, german.table);
    EXPECT_EQ("Datei kann nicht geöffnet werden.", german.message);

    const ProbeResult austrian = Probe({"LANG=de_AT.UTF-8"}, 30);
    EXPECT_EQ(0x0C07, austrian.lcid);
    EXPECT_EQ("Zielordner kann nicht geöffnet werden.", austrian.message);

    const ProbeResult brazilian = Probe({"LANG=pt_BR.UTF-8"}, 13);
    EXPECT_EQ(0x0416, brazilian.lcid);
    EXPECT_EQ(1033, brazilian.table);
    EXPECT_EQ("Unable to open the file.", brazilian.message);

    const ProbeResult plain = Probe({"LANG=C"}, 14);
    EXPECT_EQ(0, plain.lcid);
    EXPECT_EQ(1033, plain.table);
    EXPECT_EQ("A file with an unsupported format is specified.", plain.message);

    EXPECT_EQ(1033, Probe({}, 13).table);
}

TEST(LocaleAtStart, AllThenMessagesThenLang)
{
    EXPECT_EQ(
        1041,
        Probe({"LC_ALL=ja_JP.UTF-8", "LC_MESSAGES=fr_FR.UTF-8", "LANG=de_DE.UTF-8"}, 13).table);
    const ProbeResult messages = Probe({"LC_MESSAGES=zh_SG.UTF-8", "LANG=en_US.UTF-8"}, 17);
    EXPECT_EQ(0x1004, messages.lcid);
    EXPECT_EQ(2052, messages.table);
    EXPECT_EQ("无法在指定的路径创建文件夹。", messages.message);
}
