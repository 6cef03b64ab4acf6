#include "tests/delivery/publish_destinations.h"

#include "delivery/delivery.h"
#include "delivery/known_servers.h"
#include "delivery/publish_folder.h"
#include "tests/delivery/ftp_test_tree.h"
#include "tests/support/ftp_server.h"
#include "tests/support/ftps_server.h"
#include "tests/support/isolated_home.h"
#include "tests/support/sftp_server.h"
#include "tests/support/smb_server.h"
#include "tests/support/vsftpd_server.h"

#include <cstdio>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

class LocalDestination : public PublishDestination
{
public:
    fs::path Folder(const std::string& name) const override { return root_ / "slides" / name; }

protected:
    std::string Destination() const override { return (root_ / "slides").string(); }
    int Deliver(const SendingData& request) const override { return fnsdExecuteCopying(&request); }

private:
    TempFolder root_;
};

class PyftpdlibDestination : public PublishDestination
{
public:
    fs::path Folder(const std::string& name) const override
    {
        return server_.AnonymousRoot() / name;
    }

protected:
    std::string Destination() const override { return server_.Url("/"); }

private:
    FtpTestServer server_;
};

class VsftpdDestination : public PublishDestination
{
public:
    fs::path Folder(const std::string& name) const override { return server_.Pub() / name; }

protected:
    std::string Destination() const override { return server_.Url("/pub"); }

private:
    VsftpdTestServer server_;
};

class ShareDestination : public PublishDestination
{
public:
    fs::path Folder(const std::string& name) const override
    {
        return server_.Share("guest") / name;
    }

protected:
    std::string Destination() const override { return server_.Url("guest"); }

private:
    SmbTestServer server_;
};

void Trust(int port, const std::string& fingerprint)
{
    if (!TrustIdentity("127.0.0.1", port, fingerprint))
        throw std::runtime_error("the server's identity cannot be trusted");
}

void LogInAs(SendingData& request, const std::string& user, const std::string& password)
{
    request.authentication = true;
    request.id = user;
    request.password = password;
}

class FtpsDestination : public PublishDestination
{
public:
    explicit FtpsDestination(FtpsMode mode) : server_(mode)
    {
        Trust(server_.Port(), server_.Fingerprint());
    }
    fs::path Folder(const std::string& name) const override { return server_.UserRoot() / name; }

protected:
    std::string Destination() const override { return server_.Url("/"); }
    void LogIn(SendingData& request) const override
    {
        LogInAs(request, server_.User(), server_.Password());
    }

private:
    IsolatedHome home_;
    FtpsTestServer server_;
};

class SftpDestination : public PublishDestination
{
public:
    SftpDestination() { Trust(server_.Port(), server_.Fingerprint()); }
    fs::path Folder(const std::string& name) const override { return server_.Home() / name; }

protected:
    std::string Destination() const override { return server_.Url(server_.Home().string()); }
    void LogIn(SendingData& request) const override
    {
        LogInAs(request, server_.User(), server_.Password());
    }

private:
    IsolatedHome home_;
    SftpTestServer server_;
};

} // namespace

int PublishDestination::Deliver(const SendingData& request) const
{
    return fnsdExecuteSending(&request);
}

std::string KindName(DestinationKind kind)
{
    switch (kind) {
    case DestinationKind::Local:
        return "Local";
    case DestinationKind::Pyftpdlib:
        return "Pyftpdlib";
    case DestinationKind::Vsftpd:
        return "Vsftpd";
    case DestinationKind::Share:
        return "Share";
    case DestinationKind::ExplicitTls:
        return "ExplicitTls";
    case DestinationKind::ImplicitTls:
        return "ImplicitTls";
    case DestinationKind::Sftp:
        return "Sftp";
    }
    return "Unknown";
}

SendingData PublishDestination::Request(const fs::path& work, const std::string& name) const
{
    SendingData request;
    request.srcFolder = work.string();
    request.destination = Destination();
    request.folderName = name;
    LogIn(request);
    return request;
}

int PublishDestination::Publish(const fs::path& work, const std::string& name) const
{
    return Deliver(Request(work, name));
}

std::unique_ptr<PublishDestination> MakeDestination(DestinationKind kind)
{
    switch (kind) {
    case DestinationKind::Local:
        return std::make_unique<LocalDestination>();
    case DestinationKind::Pyftpdlib:
        return std::make_unique<PyftpdlibDestination>();
    case DestinationKind::Vsftpd:
        return std::make_unique<VsftpdDestination>();
    case DestinationKind::Share:
        return std::make_unique<ShareDestination>();
    case DestinationKind::ExplicitTls:
        return std::make_unique<FtpsDestination>(FtpsMode::Explicit);
    case DestinationKind::ImplicitTls:
        return std::make_unique<FtpsDestination>(FtpsMode::Implicit);
    case DestinationKind::Sftp:
        return std::make_unique<SftpDestination>();
    }
    return nullptr;
}

void WriteDeck(const fs::path& work, const std::string& name, int count, std::size_t size,
               unsigned seed)
{
    const fs::path folder = work / name;
    fs::remove_all(folder);
    fs::create_directories(folder);
    const int digits = static_cast<int>(std::to_string(count).size());
    for (int slide = 1; slide <= count; ++slide) {
        char file[32];
        std::snprintf(file, sizeof file, "slide%0*d.jpg", digits, slide);
        const std::size_t length = size + static_cast<std::size_t>(slide) * 37;
        WriteFile(folder / file, "\xFF\xD8" + BinaryContent(length, seed + slide) + "\xFF\xD9");
    }
}

std::map<std::string, std::string> SlideImages(const fs::path& folder)
{
    std::map<std::string, std::string> images;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (IsSlideImageName(name))
            images[name] = ReadFile(entry.path());
    }
    return images;
}

bool IsWholeJpeg(const std::string& bytes)
{
    return bytes.size() >= 4 && bytes.starts_with("\xFF\xD8") && bytes.ends_with("\xFF\xD9");
}

int StagingFolders(const fs::path& folder)
{
    int count = 0;
    for (const auto& entry : fs::directory_iterator(folder))
        count += entry.path().filename().string().starts_with(".korvanta-staging-");
    return count;
}
