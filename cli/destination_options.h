#pragma once

#include "profiles/connect_profile_data.h"

#include <QCommandLineParser>
#include <QString>

#include <optional>
#include <vector>

// Where a conversion goes, or what "open" shows: a local folder (--to), an
// FTP URL (--ftp), an SFTP URL (--sftp), a share (--share) or a saved
// destination (--server).
struct Destination
{
    bool local = true;
    std::string localFolder;    // absolute, for a local folder
    ConnectProfileData profile; // for a server
};

class DestinationOptions
{
public:
    explicit DestinationOptions(QCommandLineParser& parser);

    // The destination the options name, or an error text when they name none,
    // several, or a server destination that is not saved.
    std::optional<Destination> Read(QString& error) const;
    // Every destination the options name, in the order given, or an error
    // text when they name none, or one that cannot be used. --user goes with
    // every --ftp, --sftp and --share; its password is asked for once.
    std::optional<std::vector<Destination>> ReadAll(QString& error) const;

private:
    std::optional<Destination> ReadUrl(const QString& option, const QString& url,
                                       QString& error) const;
    bool IsDestinationOption(const QString& name) const;

    const QCommandLineParser& parser_;
    QCommandLineOption to_{"to", "Deliver to the local FOLDER.", "FOLDER"};
    QCommandLineOption ftp_{"ftp", "Deliver to the FTP URL (ftp://, ftpes:// or ftps://).", "URL"};
    QCommandLineOption sftp_{"sftp", "Deliver to the SFTP URL (sftp://).", "URL"};
    QCommandLineOption share_{"share", "Deliver to the share (\\\\server\\share\\dir or smb://).",
                              "SHARE"};
    QCommandLineOption server_{"server", "Deliver to the saved destination NAME.", "NAME"};
    QCommandLineOption user_{"user",
                             "Log in to --ftp, --sftp or --share as NAME; the password comes "
                             "from KORVANTA_PASSWORD or a prompt (none for SFTP: your SSH "
                             "agent or keys).",
                             "NAME"};
};
