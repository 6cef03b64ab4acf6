#include "cli/destination_options.h"

#include "cli/password_input.h"
#include "delivery/destination_type.h"
#include "profiles/conn_prof_controller.h"

#include <filesystem>
#include <map>

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
    const int named = parser_.values(to_).size() + parser_.values(ftp_).size() +
                      parser_.values(share_).size() + parser_.values(server_).size();
    if (named != 1) {
        error = "name exactly one destination: --to, --ftp, --share or --server";
        return std::nullopt;
    }
    auto all = ReadAll(error);
    if (!all)
        return std::nullopt;
    return all->front();
}

std::optional<std::vector<Destination>> DestinationOptions::ReadAll(QString& error) const
{
    std::vector<Destination> destinations;
    // Each option's values in turn, in the order the names came.
    std::map<QString, int> used;
    std::string password;
    bool passwordRead = false;
    for (const QString& name : parser_.optionNames()) {
        if (name != to_.names().front() && name != ftp_.names().front() &&
            name != share_.names().front() && name != server_.names().front())
            continue;
        const QString value = parser_.values(name).at(used[name]++);
        if (name == to_.names().front()) {
            Destination destination;
            destination.localFolder = std::filesystem::absolute(value.toStdString()).string();
            destinations.push_back(destination);
            continue;
        }
        std::optional<Destination> destination;
        if (name == server_.names().front()) {
            const auto saved = SavedDestination(value.toStdString());
            if (!saved) {
                error = "no saved destination is named " + value;
                return std::nullopt;
            }
            destination = Destination{false, {}, *saved};
        } else {
            destination = ReadUrl(name == ftp_.names().front(), value, error);
            if (!destination)
                return std::nullopt;
            if (destination->profile.authentication) {
                if (!passwordRead)
                    password = ReadPassword();
                passwordRead = true;
                destination->profile.password = password;
            }
        }
        destinations.push_back(*destination);
    }
    if (destinations.empty()) {
        error = "name a destination: --to, --ftp, --share or --server";
        return std::nullopt;
    }
    return destinations;
}

std::optional<Destination> DestinationOptions::ReadUrl(bool ftp, const QString& url,
                                                       QString& error) const
{
    Destination destination;
    destination.local = false;
    destination.profile.destination = url.toStdString();
    const int kind = actCheckType(destination.profile.destination);
    if (kind != (ftp ? DEST_TYPE_FTP : DEST_TYPE_SMB)) {
        error = ftp ? "--ftp takes a URL starting with ftp://"
                    : "--share takes \\\\server\\share\\dir or smb://server/share/dir";
        return std::nullopt;
    }
    if (parser_.isSet(user_)) {
        destination.profile.authentication = true;
        destination.profile.id = parser_.value(user_).toStdString();
    }
    return destination;
}
