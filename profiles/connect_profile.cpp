#include "profiles/connect_profile.h"

#include "log/failure.h"
#include "log/log_scope.h"
#include "platform/app_folders.h"
#include "profiles/profile_file_io.h"
#include "profiles/text_conversion.h"
#include "profiles/zel_crypt_wrapper.h"

#include <algorithm>

namespace {

const char* const kFileName = "QUORVEL Korvanta TypeA Server List.dat";

// The keys of a block, in the order of its lines after the marker line.
const char* const kKeys[] = {"[DISP_NAME]", "[Destination]", "[Authentication]", "[ID]",
                             "[Password]"};
enum KeyIndex
{
    DISP_NAME,
    DESTINATION,
    AUTHENTICATION,
    ID,
    PASSWORD,
    KEY_COUNT
};

std::string Marker(int n)
{
    return "LIST:[" + std::to_string(n) + "]";
}

// Start of the line after the one holding pos, or npos on the last line.
std::size_t NextLine(const std::string& text, std::size_t pos)
{
    const std::size_t feed = text.find('\n', pos);
    return feed == std::string::npos ? std::string::npos : feed + 1;
}

// The first marker that begins a line. A value may contain the marker's text,
// but no value begins a line.
std::size_t FindMarkerLine(const std::string& text, const std::string& marker)
{
    for (std::size_t pos = text.find(marker); pos != std::string::npos;
         pos = text.find(marker, pos + 1)) {
        if (pos == 0 || text[pos - 1] == '\n')
            return pos;
    }
    return std::string::npos;
}

// Reads the value of the line at line, which must begin with key, and moves
// line to the next line. Keys are looked for only where their line begins, so
// a key written inside an earlier value is never taken for the key itself.
bool ReadValue(const std::string& text, std::size_t& line, const std::string& key,
               std::string& value)
{
    if (line == std::string::npos || text.compare(line, key.size(), key) != 0)
        return false;
    const std::size_t start = line + key.size();
    const std::size_t feed = text.find('\n', start);
    const std::size_t end = feed == std::string::npos ? text.size() : feed;
    value = text.substr(start, end - start);
    line = feed == std::string::npos ? std::string::npos : feed + 1;
    return true;
}

} // namespace

ConnectProfile::ConnectProfile()
{
    LogStart("ConnectProfile::ConnectProfile");
    LogEnd("ConnectProfile::ConnectProfile");
}

ConnectProfile::~ConnectProfile()
{
    LogStart("ConnectProfile::~ConnectProfile");
    LogEnd("ConnectProfile::~ConnectProfile");
}

bool ConnectProfile::SaveConnectProfiles(const std::vector<ConnectProfileData>& list)
{
    LogScope scope("ConnectProfile::SaveConnectProfiles");
    return StepsSucceed(scope.Name(), [&] {
        std::string path;
        if (!GetFilePath(path))
            throw Failure("GetFilePath() failed.");
        std::string text;
        for (std::size_t n = 0; n < list.size(); ++n) {
            if (!SetProfileToStr(list[n], static_cast<int>(n), text))
                throw Failure("SetProfileToStr() failed.");
        }
        const std::string ansi = UTF16ToANSI(text);
        if (ansi.empty() && !text.empty())
            throw Failure("UTF16ToANSI() failed.");
        ByteBuffer scrambled;
        if (!ZelCryptWrapper().scramble(ByteBuffer(ansi.begin(), ansi.end()), scrambled))
            throw Failure("ZelCryptWrapper::scramble() failed.");
        if (!platform::EnsureAppDataFolder())
            throw Failure("EnsureAppDataFolder() failed.");
        // A link is kept and its target rewritten.
        const std::filesystem::path target = FinalTarget(path);
        if (target.empty() || !MayReplace(target))
            throw Failure("_wfopen_s() failed.");
        RemoveLeftoverTemporaries(target);
        // Written beside the old file and renamed over it: a failed or
        // interrupted save leaves the old file whole.
        ReplacementFile file(target);
        if (!file.IsOpen())
            throw Failure("_wfopen_s() failed.");
        if (!file.WriteAll(scrambled))
            throw Failure("write() failed.");
        if (!file.Sync())
            throw Failure("fsync() failed.");
        if (!file.Commit())
            throw Failure("rename() failed.");
        // The new file is in place; only its survival of a crash is unsure.
        if (!file.SyncFolder())
            LogError(scope.Name(), "fsync() of the folder failed.");
    });
}

bool ConnectProfile::LoadConnectProfiles(std::vector<ConnectProfileData>& list)
{
    LogScope scope("ConnectProfile::LoadConnectProfiles");
    return StepsSucceed(scope.Name(), [&] {
        std::string path;
        if (!GetFilePath(path))
            throw Failure("GetFilePath() failed.");
        ByteBuffer scrambled;
        const ReadOutcome outcome = ReadWholeFile(path, scrambled);
        if (outcome == ReadOutcome::Absent)
            return;
        // Something is there that may hold destinations: the caller must not
        // take it for an empty list and save over it.
        if (outcome == ReadOutcome::Unreadable)
            throw Failure("_wfopen_s() failed.");
        ByteBuffer bytes;
        if (!ZelCryptWrapper().descramble(scrambled, bytes))
            throw Failure("ZelCryptWrapper::descramble() failed.");
        // A zero byte ends the text.
        const auto end = std::find(bytes.begin(), bytes.end(), 0);
        const std::string text = ANSIToUTF16(std::string(bytes.begin(), end));
        std::vector<ConnectProfileData> found;
        for (int n = 0; n < MAX_CONNECT_PROFILES; ++n) {
            ConnectProfileData record;
            if (GetProfileFromStr(text, n, record))
                found.push_back(record);
        }
        list.insert(list.end(), found.begin(), found.end());
    });
}

bool ConnectProfile::SetProfileToStr(const ConnectProfileData& record, int n, std::string& text)
{
    LogScope scope("ConnectProfile::SetProfileToStr");
    try {
        // A line break would end the value early and start a line of its own.
        for (const std::string* value :
             {&record.dispName, &record.destination, &record.id, &record.password}) {
            if (value->find_first_of("\r\n") != std::string::npos) {
                LogError(scope.Name(), "A value holds a line break.");
                return false;
            }
        }
        text += Marker(n) + "\n";
        text += kKeys[DISP_NAME] + record.dispName + "\n";
        text += kKeys[DESTINATION] + record.destination + "\n";
        text +=
            kKeys[AUTHENTICATION] + std::string(record.authentication ? "TRUE" : "FALSE") + "\n";
        text += kKeys[ID] + record.id + "\n";
        text += kKeys[PASSWORD] + record.password + "\n";
        return true;
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
    return false;
}

bool ConnectProfile::GetProfileFromStr(const std::string& text, int n, ConnectProfileData& record)
{
    LogScope scope("ConnectProfile::GetProfileFromStr");
    bool found = false;
    const bool parsed = StepsSucceed(scope.Name(), [&] {
        const std::size_t marker = FindMarkerLine(text, Marker(n));
        if (marker == std::string::npos)
            return; // no such block: nothing to log
        std::size_t line = NextLine(text, marker);
        std::string values[KEY_COUNT];
        for (int key = 0; key < KEY_COUNT; ++key) {
            if (!ReadValue(text, line, kKeys[key], values[key]))
                throw Failure(std::string(kKeys[key]) + " not found.");
        }
        record.dispName = values[DISP_NAME];
        record.destination = values[DESTINATION];
        record.authentication = values[AUTHENTICATION] == "TRUE";
        record.id = values[ID];
        record.password = values[PASSWORD];
        found = true;
    });
    return parsed && found;
}

bool ConnectProfile::GetFilePath(std::string& path)
{
    LogScope scope("ConnectProfile::GetFilePath");
    return StepsSucceed(scope.Name(), [&] {
        const std::filesystem::path folder = platform::AppDataFolder();
        if (folder.empty())
            throw Failure("GetFilePath() failed.");
        path = (folder / kFileName).string();
    });
}
