#pragma once

#include <curl/curl.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// What the FTP and SFTP connections share in their use of curl.

// Initialises curl once per process; false when it cannot be.
bool CurlReady();

// A text that would end a command line early, or start a second one.
bool HasControlCharacter(const std::string& text);

struct SlistDeleter
{
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using CommandList = std::unique_ptr<curl_slist, SlistDeleter>;

// The lines as a curl list; null when one has a control character or the
// list cannot be made.
CommandList MakeCommandList(const std::vector<std::string>& lines);

// Runs the request set on a handle: curl_easy_perform, or
// CurlTransfers::Perform.
using PerformFunction = std::function<CURLcode(CURL*)>;

// Runs requests of easy handles as curl_easy_perform does, through a multi
// handle of its own that keeps their connections from one request to the
// next. When curl waits on no socket, it is run once more at once: curl 7.88,
// when it reads the EPSV or PASV reply in the run that sent the command, has
// the data connection still to open, yet waits up to a second first.
class CurlTransfers
{
public:
    CurlTransfers();
    CurlTransfers(const CurlTransfers&) = delete;
    CurlTransfers& operator=(const CurlTransfers&) = delete;

    CURLcode Perform(CURL* curl);

private:
    struct MultiDeleter
    {
        void operator()(CURLM* multi) const { curl_multi_cleanup(multi); }
    };

    std::unique_ptr<CURLM, MultiDeleter> multi_;
};

// Uploads the local file to url through the handle, which is left ready for
// a request without a body. False when the file cannot be read or the
// transfer fails.
bool UploadFile(CURL* curl, const std::string& url, const std::filesystem::path& local,
                const PerformFunction& perform = curl_easy_perform);

// Runs a request without a body on url that sends the quote commands only.
CURLcode PerformCommands(CURL* curl, const std::string& url, const CommandList& commands,
                         const PerformFunction& perform = curl_easy_perform);

// Runs a request on the handle whose body is collected into text.
CURLcode PerformInto(CURL* curl, std::string& text,
                     const PerformFunction& perform = curl_easy_perform);

// The names of a name-only listing, one a line, without "." and "..". Of a
// line that is a path, the last name.
std::vector<std::string> ListedNames(const std::string& listing);
