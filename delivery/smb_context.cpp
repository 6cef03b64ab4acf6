#include "delivery/smb_context.h"

#include "delivery/smb_path.h"
#include "log/failure.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

std::recursive_mutex& LibraryLock()
{
    static std::recursive_mutex lock;
    return lock;
}

// errno after a failed library call; never 0.
int LastError()
{
    return errno != 0 ? errno : EIO;
}

// The library would print its messages on stdout.
void DiscardLibraryMessage(void*, int, const char*) {}

void CopyField(char* buffer, int size, const std::string& text)
{
    if (size > 0)
        std::snprintf(buffer, static_cast<std::size_t>(size), "%s", text.c_str());
}

// Called by the library before it logs on. Without given credentials the
// buffers keep what the library filled in: the user's own name.
void ProvideCredentials(SMBCCTX* context, const char*, const char*, char*, int, char* user,
                        int userSize, char* password, int passwordSize)
{
    const auto* credentials = static_cast<const ShareCredentials*>(smbc_getOptionUserData(context));
    if (!credentials || !credentials->given)
        return;
    CopyField(user, userSize, credentials->user);
    CopyField(password, passwordSize, credentials->password);
}

} // namespace

void SmbContext::Free::operator()(SMBCCTX* context) const
{
    smbc_free_context(context, 1);
}

SmbContext::SmbContext(ShareCredentials credentials)
    : lock_(LibraryLock()), credentials_(std::move(credentials)), context_(smbc_new_context())
{
    SMBCCTX* context = context_.get();
    if (!context)
        throw Failure("smbc_new_context() failed.");
    smbc_setLogCallback(context, nullptr, DiscardLibraryMessage);
    smbc_setDebug(context, 0);
    smbc_setTimeout(context, kShareTimeoutMilliseconds);
    smbc_setOptionUserData(context, &credentials_);
    smbc_setFunctionAuthDataWithContext(context, ProvideCredentials);
    if (credentials_.given) {
        // A refused password must fail, not end in a guest session; and an
        // empty password is that password, not a cached one.
        smbc_setOptionNoAutoAnonymousLogin(context, 1);
        smbc_setOptionUseCCache(context, 0);
    }
    if (!smbc_init_context(context))
        throw Failure("smbc_init_context() failed.");
}

int SmbContext::OpenFolder(const std::string& url) const
{
    SMBCCTX* context = Handle();
    errno = 0;
    SMBCFILE* folder = smbc_getFunctionOpendir(context)(context, url.c_str());
    if (!folder)
        return LastError();
    smbc_getFunctionClosedir(context)(context, folder);
    return 0;
}

int SmbContext::MakeFolder(const std::string& url) const
{
    SMBCCTX* context = Handle();
    errno = 0;
    return smbc_getFunctionMkdir(context)(context, url.c_str(), 0755) == 0 ? 0 : LastError();
}

int SmbContext::Remove(const std::string& url) const
{
    SMBCCTX* context = Handle();
    errno = 0;
    return smbc_getFunctionUnlink(context)(context, url.c_str()) == 0 ? 0 : LastError();
}

int SmbContext::RemoveFolder(const std::string& url) const
{
    SMBCCTX* context = Handle();
    errno = 0;
    return smbc_getFunctionRmdir(context)(context, url.c_str()) == 0 ? 0 : LastError();
}

int SmbContext::Rename(const std::string& from, const std::string& to) const
{
    SMBCCTX* context = Handle();
    errno = 0;
    return smbc_getFunctionRename(context)(context, from.c_str(), context, to.c_str()) == 0
               ? 0
               : LastError();
}

int SmbContext::List(const std::string& url,
                     std::vector<std::pair<std::string, unsigned>>& entries) const
{
    SMBCCTX* context = Handle();
    errno = 0;
    SMBCFILE* folder = smbc_getFunctionOpendir(context)(context, url.c_str());
    if (!folder)
        return LastError();
    int error = 0;
    for (;;) {
        errno = 0;
        const smbc_dirent* entry = smbc_getFunctionReaddir(context)(context, folder);
        if (!entry) {
            // The end of the folder leaves errno alone.
            error = errno;
            break;
        }
        const std::string name = entry->name;
        if (name != "." && name != "..")
            entries.emplace_back(name, entry->smbc_type);
    }
    smbc_getFunctionClosedir(context)(context, folder);
    return error;
}

bool SmbContext::IsFolder(const std::string& url) const
{
    SMBCCTX* context = Handle();
    struct stat status = {};
    return smbc_getFunctionStat(context)(context, url.c_str(), &status) == 0 &&
           S_ISDIR(status.st_mode);
}

bool ConnectShare(const SmbContext& context, const std::string& destination)
{
    const auto path = ParseSharePath(destination);
    return path && context.OpenFolder(path->shareUrl) == 0;
}

SmbFile::SmbFile(const SmbContext& context, const std::string& url) : context_(context)
{
    SMBCCTX* handle = context_.Handle();
    errno = 0;
    file_ = smbc_getFunctionOpen(handle)(handle, url.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (!file_)
        openError_ = LastError();
}

SmbFile::~SmbFile()
{
    Close();
}

int SmbFile::Write(const char* data, std::size_t size)
{
    if (!file_)
        return EBADF;
    SMBCCTX* handle = context_.Handle();
    while (size > 0) {
        errno = 0;
        const ssize_t written = smbc_getFunctionWrite(handle)(handle, file_, data, size);
        if (written <= 0)
            return LastError();
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return 0;
}

int SmbFile::Close()
{
    if (!file_)
        return 0;
    SMBCCTX* handle = context_.Handle();
    errno = 0;
    const int result = smbc_getFunctionClose(handle)(handle, file_);
    file_ = nullptr;
    return result == 0 ? 0 : LastError();
}
