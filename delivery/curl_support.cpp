#include "delivery/curl_support.h"

#include <cstdio>
#include <mutex>

namespace {

struct FileCloser
{
    void operator()(std::FILE* file) const { std::fclose(file); }
};

size_t AppendBody(char* data, size_t size, size_t count, void* text)
{
    static_cast<std::string*>(text)->append(data, size * count);
    return size * count;
}

} // namespace

bool CurlReady()
{
    static std::once_flag once;
    static bool ready = false;
    std::call_once(once, [] { ready = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ready;
}

bool HasControlCharacter(const std::string& text)
{
    for (unsigned char c : text) {
        if (c < 0x20 || c == 0x7F)
            return true;
    }
    return false;
}

CommandList MakeCommandList(const std::vector<std::string>& lines)
{
    CommandList list;
    for (const std::string& line : lines) {
        if (HasControlCharacter(line))
            return nullptr;
        curl_slist* longer = curl_slist_append(list.get(), line.c_str());
        if (!longer)
            return nullptr;
        list.release();
        list.reset(longer);
    }
    return list;
}

bool UploadFile(CURL* curl, const std::string& url, const std::filesystem::path& local)
{
    std::error_code error;
    const auto size = std::filesystem::file_size(local, error);
    if (error)
        return false;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(local.c_str(), "rbe"));
    if (!file)
        return false;
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READDATA, file.get());
    curl_easy_setopt(curl, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(size));
    const bool done = curl_easy_perform(curl) == CURLE_OK;
    curl_easy_setopt(curl, CURLOPT_READDATA, static_cast<void*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    return done;
}

CURLcode PerformInto(CURL* curl, std::string& text)
{
    text.clear();
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &text);
    const CURLcode code = curl_easy_perform(curl);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, static_cast<void*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, static_cast<curl_write_callback>(nullptr));
    return code;
}

std::vector<std::string> ListedNames(const std::string& listing)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos)
            end = listing.size();
        std::string line = listing.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        // Some servers answer with paths.
        if (const std::size_t slash = line.rfind('/'); slash != std::string::npos)
            line.erase(0, slash + 1);
        if (!line.empty() && line != "." && line != "..")
            names.push_back(line);
        start = end + 1;
    }
    return names;
}
