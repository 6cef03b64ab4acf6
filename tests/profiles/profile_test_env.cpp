#include "tests/profiles/profile_test_env.h"

#include "profiles/conn_prof_controller.h"
#include "profiles/connect_profile.h"
#include "profiles/zel_crypt_wrapper.h"
#include "tests/support/child_process.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <linux/fs.h>
#include <stdexcept>
#include <sys/ioctl.h>
#include <unistd.h>

namespace fs = std::filesystem;

ConfigHome::ConfigHome()
{
    if (const char* value = std::getenv("XDG_CONFIG_HOME")) {
        saved_ = value;
        hadValue_ = true;
    }
    ::setenv("XDG_CONFIG_HOME", root_.Path().c_str(), 1);
}

ConfigHome::~ConfigHome()
{
    if (hadValue_)
        ::setenv("XDG_CONFIG_HOME", saved_.c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

std::vector<std::string> ConfigHome::FolderEntries() const
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder()))
        names.push_back(entry.path().filename().string());
    return names;
}

namespace {

bool SetImmutable(const fs::path& path, bool on)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}

} // namespace

Immutable::Immutable(fs::path path) : path_(std::move(path)), set_(SetImmutable(path_, true)) {}

Immutable::~Immutable()
{
    if (set_)
        SetImmutable(path_, false);
}

void GiveToNobody(const ConfigHome& home)
{
    fs::permissions(home.Root(), fs::perms(0755));
    const auto chownToNobody = [](const fs::path& path) {
        if (::chown(path.c_str(), UnprivilegedUid(), UnprivilegedGid()) != 0)
            throw std::runtime_error("chown failed: " + path.string());
    };
    chownToNobody(home.Folder());
    for (const auto& entry : fs::directory_iterator(home.Folder()))
        chownToNobody(entry.path());
}

unsigned char ScrambledByte(unsigned char byte)
{
    return static_cast<unsigned char>((byte >> 2) | (byte << 6)) ^ 0xA7;
}

std::string ProfileFileByTheRules(const std::string& text)
{
    // Fourteen of a-y, A-Z and 0-9, then the marker.
    const std::string prefix = "Ab3De6Gh9Jk2Mn";
    std::string file;
    for (unsigned char c : prefix + "z" + text)
        file += static_cast<char>(ScrambledByte(c));
    return file;
}

void ExpectLoadedAndSavedBack(const ConfigHome& home, bool loadResult,
                              const std::vector<ConnectProfileData>& profiles)
{
    std::vector<ConnectProfileData> loaded;
    EXPECT_EQ(loadResult, ConnectProfile().LoadConnectProfiles(loaded));
    EXPECT_EQ(profiles, loaded);

    // Removed first: of a link only the link goes, so that no fault of the
    // saver can reach what it points to.
    fs::remove(home.File());
    ASSERT_TRUE(ConnectProfile().SaveConnectProfiles(loaded));
    std::vector<ConnectProfileData> reloaded;
    EXPECT_TRUE(ConnectProfile().LoadConnectProfiles(reloaded));
    EXPECT_EQ(profiles, reloaded);
}

void WriteProfileFile(const ConfigHome& home, const std::string& text)
{
    ByteBuffer scrambled;
    if (!ZelCryptWrapper().scramble(ByteBuffer(text.begin(), text.end()), scrambled))
        throw std::runtime_error("scramble failed");
    fs::create_directories(home.Folder());
    WriteFile(home.File(), std::string(scrambled.begin(), scrambled.end()));
}

std::string ReadProfileText(const ConfigHome& home)
{
    const std::string bytes = ReadFile(home.File());
    ByteBuffer text;
    if (!ZelCryptWrapper().descramble(ByteBuffer(bytes.begin(), bytes.end()), text))
        throw std::runtime_error("descramble failed");
    return std::string(text.begin(), text.end());
}

std::vector<ConnectProfileData> ProfilesOnDisk()
{
    ConnProfController controller;
    controller.Init();
    std::vector<ConnectProfileData> profiles(controller.GetProfileCount());
    for (int i = 0; i < controller.GetProfileCount(); ++i)
        controller.GetConnectProfile(i, profiles[i]);
    return profiles;
}

std::vector<std::string> NamesOnDisk()
{
    std::vector<std::string> names;
    for (const ConnectProfileData& profile : ProfilesOnDisk())
        names.push_back(profile.dispName);
    return names;
}
