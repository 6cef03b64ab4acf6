#pragma once

#include <string>
#include <vector>

// The debug log of this test process, switched on at full level on a file
// of its own by the first capture. A capture sees what was logged after it
// was made.
class LogCapture
{
public:
    LogCapture();

    // The messages of the "[Error]" lines that function wrote, in order.
    std::vector<std::string> Errors(const std::string& function) const;
    // The messages of the "[Info]" lines that function wrote, in order.
    std::vector<std::string> Infos(const std::string& function) const;
    // The "End" lines of function.
    int Ends(const std::string& function) const;

private:
    std::vector<std::string> Lines() const;
    std::vector<std::string> Messages(const std::string& function, const std::string& kind) const;

    std::size_t start_ = 0;
};
