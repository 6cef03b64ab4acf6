#include "tests/support/shared_files.h"

#include <cstdlib>
#include <cstring>

namespace fs = std::filesystem;

std::string MissingSharedFolder(const std::string& folder)
{
    const fs::path path = fs::weakly_canonical(fs::path(KORVANTA_SHARED_DIR) / folder);
    std::error_code error;
    if (fs::is_directory(path, error) && !fs::is_empty(path, error))
        return {};
    return "the real-world " + folder + " are missing: put them in " + path.string() +
           " to run this test";
}

bool SharedFilesRequired()
{
    const char* ci = std::getenv("CI");
    return ci && std::strcmp(ci, "true") == 0;
}
