#include "profiles/profile_rules.h"

#include "delivery/destination_type.h"

#include <algorithm>
#include <string>

bool IsProfileComplete(const ConnectProfileData& profile)
{
    return !profile.dispName.empty() && !profile.destination.empty() &&
           (!profile.authentication || !profile.id.empty());
}

bool IsServerDestination(std::string_view destination)
{
    return actCheckType(std::string(destination)) != DEST_TYPE_UNKNOWN;
}

bool IsPasswordText(std::string_view password)
{
    return std::all_of(password.begin(), password.end(),
                       [](char c) { return c >= 0x20 && c <= 0x7E; });
}

bool HoldsControlCharacter(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F)
            return true;
        // U+0080 to U+009F are written 0xC2 0x80 to 0xC2 0x9F.
        if (byte == 0xC2 && i + 1 < text.size()) {
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (next >= 0x80 && next <= 0x9F)
                return true;
        }
    }
    return false;
}
