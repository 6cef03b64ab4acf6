#include "tests/delivery/ftp_test_tree.h"

#include "tests/support/temp_folder.h"

namespace fs = std::filesystem;

std::string BinaryContent(std::size_t size, unsigned seed)
{
    std::string bytes = "\r\n\n\r";
    for (std::size_t i = 0; bytes.size() < size; ++i)
        bytes += static_cast<char>((i * 7 + seed) & 0xFF);
    bytes.resize(size);
    return bytes;
}

std::map<std::string, std::string> TreeContents(const fs::path& folder)
{
    std::map<std::string, std::string> tree;
    for (const auto& entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        tree[name] = entry.is_directory() ? "<folder>" : ReadFile(entry.path());
    }
    return tree;
}
