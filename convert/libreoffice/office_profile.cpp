#include "convert/libreoffice/office_profile.h"

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

std::string ReadText(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string FirstMatch(const std::string& text, const std::regex& pattern)
{
    std::smatch match;
    return std::regex_search(text, match, pattern) ? match[1].str() : std::string();
}

// "7.4", as the office compares it with the profile's last setup version.
std::string OfficeVersion(const fs::path& installFolder)
{
    static const std::regex version(R"(<prop oor:name="ooSetupVersion">\s*<value>([^<]+)</value>)");
    return FirstMatch(ReadText(installFolder / "share/registry/main.xcd"), version);
}

std::string OfficeBuildId(const fs::path& installFolder)
{
    static const std::regex buildId(R"(buildid=([^\r\n]+))");
    return FirstMatch(ReadText(installFolder / "program/versionrc"), buildId);
}

std::string Item(const std::string& path, const std::string& name, const std::string& value)
{
    return "<item oor:path=\"" + path + "\"><prop oor:name=\"" + name +
           "\" oor:op=\"fuse\"><value>" + value + "</value></prop></item>\n";
}

} // namespace

void SeedOfficeProfile(const fs::path& profileFolder)
{
    const fs::path settings = profileFolder / "user/registrymodifications.xcu";
    std::error_code error;
    if (fs::exists(settings, error))
        return;
    const fs::path installFolder = fs::path(LIBREOFFICE_PROGRAM_DIR).parent_path();
    const std::string version = OfficeVersion(installFolder);
    const std::string buildId = OfficeBuildId(installFolder);
    if (version.empty() || buildId.empty())
        return; // an unknown layout: let the office set up its profile itself

    fs::create_directories(settings.parent_path(), error);
    // Written aside and renamed, so a profile is never left half-written.
    const fs::path written = settings.string() + ".new";
    std::ofstream out(written, std::ios::binary);
    out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
           "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
           "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
        << Item("/org.openoffice.Setup/Product", "ooSetupLastVersion", version)
        << Item("/org.openoffice.Setup/Office", "LastCompatibilityCheckID", buildId)
        << Item("/org.openoffice.Setup/Office", "ooSetupInstCompleted", "true")
        << Item("/org.openoffice.Office.Common/Misc", "FirstRun", "false") << "</oor:items>\n";
    out.close();
    if (out)
        fs::rename(written, settings, error);
    fs::remove(written, error);
}
