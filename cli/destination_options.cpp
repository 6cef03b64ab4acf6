#include "cli/destination_options.h"

#include "cli/password_input.h"
#include "delivery/destination_type.h"
#include "profiles/conn_prof_controller.h"

#include <filesystem>

namespace {

std::optional<ConnectProfileData> SavedDestination(const std::string& name)
{
    ConnProfController profiles;
    profiles.Init();
    for (int index = 0; index < profiles.GetProfileCount(); ++index) {
        ConnectProfileData profile;
        if (profiles.GetConnectProfile(index, profile) && profile.dispName == name)
            return profile;
    }
    return std::nullopt;
}

} // namespace

DestinationOptions::DestinationOptions(QCommandLineParser& parser) : parser_(parser)
{
    parser.addOptions({to_, ftp_, share_, server_, user_});
}

std::optional<Destination> DestinationOptions::Read(QString& error) const
{
    const int named =
        parser_.isSet(to_) + parser_.isSet(ftp_) + parser_.isSet(share_) + parser_.isSet(server_);
    if (named != 1) {
        error = "name exactly one destination: --to, --ftp, --share or --server";
        return std::nullopt;
    }
    Destination destination;
    if (parser_.isSet(to_)) {
        destination.localFolder =
            std::filesystem::absolute(parser_.value(to_).toStdString()).string();
        return destination;
    }
    destination.local = false;
    if (parser_.isSet(server_)) {
        const auto saved = SavedDestination(parser_.value(server_).toStdString());
        if (!saved) {
            error = "no saved destination is named " + parser_.value(server_);
            return std::nullopt;
        }
        destination.profile = *saved;
        return destination;
    }
    const bool ftp = parser_.isSet(ftp_);
    destination.profile.destination = parser_.value(ftp ? ftp_ : share_).toStdString();
    const int kind = actCheckType(destination.profile.destination);
    if (kind != (ftp ? DEST_TYPE_FTP : DEST_TYPE_SMB)) {
        error = ftp ? "--ftp takes a URL starting with ftp://"
                    : "--share takes \\\\server\\share\\dir or smb://server/share/dir";
        return std::nullopt;
    }
    if (parser_.isSet(user_)) {
        destination.profile.authentication = true;
        destination.profile.id = parser_.value(user_).toStdString();
        destination.profile.password = ReadPassword();
    }
    return destination;
}
