#include "platform/locale_map.h"
#include "platform/string_resources.h"

#include <cstdio>
#include <cstdlib>

// Prints the user's locale identifier, the table chosen for it and the
// message for the result code given as the only argument.
int main(int argc, char** argv)
{
    if (argc != 2)
        return 2;
    const int lcid = platform::CurrentLocaleId();
    const int table = platform::SelectStringTableForUser();
    std::printf("%d %d %s\n", lcid, table, platform::ResultMessage(std::atoi(argv[1])).c_str());
    return 0;
}
