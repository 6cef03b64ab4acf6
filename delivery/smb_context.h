#pragma once

#include <libsmbclient.h>

#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// Who connects to a share. Given: the profile's user name and password,
// nothing else. Not given: the user's own name, with libsmbclient's fallback
// to an anonymous (guest) session.
struct ShareCredentials
{
    bool given = false;
    std::string user;
    std::string password;
};

// How long a share may take to answer one request, in milliseconds.
constexpr int kShareTimeoutMilliseconds = 15000;

// One libsmbclient context for one delivery or check: silent, bounded by
// kShareTimeoutMilliseconds, independent of any smb.conf setting we rely on.
// Debian's libsmbclient is built without its thread hooks, so the library is
// used by one context at a time in the process: the context holds a lock for
// its whole life.
class SmbContext
{
public:
    // Throws Failure when the context cannot be made.
    explicit SmbContext(ShareCredentials credentials);
    SmbContext(const SmbContext&) = delete;
    SmbContext& operator=(const SmbContext&) = delete;

    SMBCCTX* Handle() const { return context_.get(); }

    // Each returns 0 or an errno value.
    int OpenFolder(const std::string& url) const;
    int MakeFolder(const std::string& url) const;
    int Remove(const std::string& url) const;
    int RemoveFolder(const std::string& url) const;
    // Replaces a file at to.
    int Rename(const std::string& from, const std::string& to) const;
    // The names in a folder with their smbc_type (SMBC_FILE, SMBC_DIR...).
    int List(const std::string& url, std::vector<std::pair<std::string, unsigned>>& entries) const;
    bool IsFolder(const std::string& url) const;

private:
    struct Free
    {
        void operator()(SMBCCTX* context) const;
    };

    std::unique_lock<std::recursive_mutex> lock_;
    ShareCredentials credentials_; // read by the library through the user data
    std::unique_ptr<SMBCCTX, Free> context_;
};

// True when the share of destination ("\\server\share\dir" or an smb://
// URL) answers to context's credentials: the session is set up and the share
// opens. Folders below the share need not exist yet.
bool ConnectShare(const SmbContext& context, const std::string& destination);

// A file on a share opened for writing, truncated or created; closed when it
// goes if Close() was not called.
class SmbFile
{
public:
    SmbFile(const SmbContext& context, const std::string& url);
    ~SmbFile();
    SmbFile(const SmbFile&) = delete;
    SmbFile& operator=(const SmbFile&) = delete;

    // 0 when the file is open, otherwise why not.
    int OpenError() const { return openError_; }
    // Writes all of data; 0 or an errno value.
    int Write(const char* data, std::size_t size);
    // 0 or an errno value; a failed close may mean data was not written.
    // Nothing to do, and 0, when the file is not open.
    int Close();

private:
    const SmbContext& context_;
    SMBCFILE* file_ = nullptr;
    int openError_ = 0;
};
