#pragma once

#include "delivery/sending_data.h"
#include "tests/support/temp_folder.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>

// The kinds of destination a publish goes to, each with a real server where
// it needs one.
enum class DestinationKind
{
    Local,
    Pyftpdlib,
    Vsftpd,
    Share,
    ExplicitTls, // pyftpdlib over ftpes://, trusted by its fingerprint
    ImplicitTls, // pyftpdlib over ftps://, trusted by its fingerprint
    Sftp,        // OpenSSH, trusted by its host key's fingerprint
};

std::string KindName(DestinationKind kind);

// A destination of one kind: the request that publishes a deck there, and
// the folder on disk where the published folders appear.
class PublishDestination
{
public:
    virtual ~PublishDestination() = default;
    // Publishes work/<name> there; the result code.
    int Publish(const std::filesystem::path& work, const std::string& name) const;
    int Publish(const SendingData& request) const { return Deliver(request); }
    SendingData Request(const std::filesystem::path& work, const std::string& name) const;
    // Where <name> is published, on disk.
    virtual std::filesystem::path Folder(const std::string& name) const = 0;

protected:
    virtual std::string Destination() const = 0;
    // Fills in the login, for a server that asks for one.
    virtual void LogIn(SendingData&) const {}
    virtual int Deliver(const SendingData& request) const;
};

std::unique_ptr<PublishDestination> MakeDestination(DestinationKind kind);

// Writes work/<name>/slideN.jpg for count slides, numbers padded to the
// digits of count, each a whole JPEG stream (FF D8 ... FF D9) of about size
// bytes whose content depends on seed. Replaces a folder already there.
void WriteDeck(const std::filesystem::path& work, const std::string& name, int count,
               std::size_t size, unsigned seed);

// The slide images in a folder, by name, with their bytes.
std::map<std::string, std::string> SlideImages(const std::filesystem::path& folder);

// True when bytes are a whole JPEG stream: FF D8 first, FF D9 last.
bool IsWholeJpeg(const std::string& bytes);

// Names in folder that a publish stages under.
int StagingFolders(const std::filesystem::path& folder);
