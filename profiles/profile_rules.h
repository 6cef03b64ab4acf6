#pragma once

#include "profiles/connect_profile_data.h"

#include <string_view>

// What a saved destination must be, as the edit dialog and the command line
// both ask it.

// Characters each field takes.
constexpr int kDispNameLimit = 127;
constexpr int kDestinationLimit = 1024;
constexpr int kUserNameLimit = 256;
constexpr int kPasswordLimit = 256;

// Display name and save location filled, and the user name too when
// authentication is on. Spaces count as filled; the password may be empty.
bool IsProfileComplete(const ConnectProfileData& profile);

// An FTP URL, a share path beginning with two backslashes, or an smb:// URL.
bool IsServerDestination(std::string_view destination);

// Printable ASCII and the space.
bool IsPasswordText(std::string_view password);

// Control characters: ASCII below the space, DEL, and the C1 range. UTF-8
// text is expected; C1 characters are found by their two-byte form.
bool HoldsControlCharacter(std::string_view text);
