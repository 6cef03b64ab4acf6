#include "convert/presentation_name.h"

std::string PresentationName(const std::string& filePath)
{
    const std::size_t slash = filePath.rfind('/');
    std::string name = slash == std::string::npos ? filePath : filePath.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos)
        name.erase(dot);
    return name;
}

bool IsConfinedFolderName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of("/\\") == std::string::npos;
}
