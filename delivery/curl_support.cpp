#include "delivery/curl_support.h"

#include <cstdio>
#include <mutex>
#include <sys/select.h>

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

// Whether curl offers a socket to wait on.
bool WaitsOnASocket(CURLM* multi)
{
    fd_set read;
    fd_set write;
    fd_set error;
    FD_ZERO(&read);
    FD_ZERO(&write);
    FD_ZERO(&error);
    int highest = -1;
    return curl_multi_fdset(multi, &read, &write, &error, &highest) == CURLM_OK && highest >= 0;
}

} // namespace

CurlTransfers::CurlTransfers() : multi_(curl_multi_init()) {}

CURLcode CurlTransfers::Perform(CURL* curl)
{
    CURLM* multi = multi_.get();
    if (!multi || curl_multi_add_handle(multi, curl) != CURLM_OK)
        return CURLE_FAILED_INIT;
    int running = 0;
    CURLMcode status = curl_multi_perform(multi, &running);
    while (status == CURLM_OK && running > 0) {
        // One more run at once, then the wait of curl_easy_perform: where
        // curl has only timers to wait on, this does not spin.
        if (!WaitsOnASocket(multi))
            status = curl_multi_perform(multi, &running);
        if (status == CURLM_OK && running > 0)
            status = curl_multi_poll(multi, nullptr, 0, 1000, nullptr);
        if (status == CURLM_OK && running > 0)
            status = curl_multi_perform(multi, &running);
    }
    CURLcode result = status == CURLM_OUT_OF_MEMORY ? CURLE_OUT_OF_MEMORY : CURLE_FAILED_INIT;
    int left = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi, &left)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == curl)
            result = message->data.result;
    }
    curl_multi_remove_handle(multi, curl);
    return result;
}

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

bool UploadFile(CURL* curl, const std::string& url, const std::filesystem::path& local,
                const PerformFunction& perform)
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
    const bool done = perform(curl) == CURLE_OK;
    curl_easy_setopt(curl, CURLOPT_READDATA, static_cast<void*>(nullptr));
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    return done;
}

CURLcode PerformCommands(CURL* curl, const std::string& url, const CommandList& commands,
                         const PerformFunction& perform)
{
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 1L);
    curl_easy_setopt(curl, CURLOPT_QUOTE, commands.get());
    const CURLcode code = perform(curl);
    curl_easy_setopt(curl, CURLOPT_QUOTE, static_cast<curl_slist*>(nullptr));
    return code;
}

CURLcode PerformInto(CURL* curl, std::string& text, const PerformFunction& perform)
{
    text.clear();
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 0L);
    curl_easy_setopt(curl, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &AppendBody);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &text);
    const CURLcode code = perform(curl);
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
