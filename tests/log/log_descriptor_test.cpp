#include "delivery/delivery.h"
#include "log/debug_log.h"
#include "tests/support/child_process.h"
#include "tests/support/desktop_opener.h"
#include "tests/support/open_descriptors.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// The log's descriptor in this process, or -1 when the log is not open.
int LogDescriptor(const fs::path& file)
{
    for (const auto& [fd, target] : OpenDescriptors()) {
        if (target == file.string())
            return fd;
    }
    return -1;
}

} // namespace

TEST(DebugLogDescriptor, IsClosedOnExec)
{
    TempFolder folder;
    const fs::path file = folder / "Korvanta.log";
    EXPECT_EQ(0, RunInChild([&] {
                  LogInit(3, file.string());
                  LogInfo("DebugLogDescriptor", "open");
                  const int fd = LogDescriptor(file);
                  if (fd < 0)
                      return 2;
                  return IsCloseOnExec(fd) ? 0 : 1;
              }));
    EXPECT_NE(std::string::npos, ReadFile(file).find("open"));
}

TEST(DebugLogDescriptor, TheDesktopsOpenerDoesNotHoldIt)
{
    TempFolder folder;
    const fs::path file = folder / "Korvanta.log";
    TempFolder shown;
    RecordingOpener opener;
    ASSERT_EQ(0, RunInChild([&] {
                  LogInit(3, file.string());
                  if (LogDescriptor(file) < 0)
                      return 2;
                  return fnsdExecuteOpeningLocalFolder(shown.Path().string()) ? 0 : 1;
              }));
    ASSERT_EQ(std::vector<std::string>{shown.Path().string()}, opener.Opened());
    const std::string held = opener.Descriptors();
    // The handler's shell holds its own script: the listing did see files.
    EXPECT_NE(std::string::npos, held.find("/record")) << held;
    EXPECT_EQ(std::string::npos, held.find(file.string())) << held;
}
