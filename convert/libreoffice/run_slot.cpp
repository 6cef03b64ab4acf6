#include "convert/libreoffice/run_slot.h"

#include "platform/app_folders.h"

#include <filesystem>
#include <string>

namespace {

const int kMaxSlots = 256;

} // namespace

bool RunSlot::Claim()
{
    if (number_ >= 0)
        return true;
    const std::filesystem::path folder = platform::AppCacheFolder();
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (int slot = 0; slot < kMaxSlots; ++slot) {
        if (lock_.Lock(folder / ("office-r" + std::to_string(slot) + ".lock"), false)) {
            number_ = slot;
            return true;
        }
    }
    return false;
}
