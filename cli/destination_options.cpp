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
    parser.addOptions({to_, ftp_, sftp_, share_, server_, user_});
}

std::optional<Destination> DestinationOptions::Read(QString& error) const
{
    int named = 0;
    for (const QString& name : parser_.optionNames())
        named += IsDestinationOption(name) ? 1 : 0;
    if (named != 1) {
        error = "name exactly one destination: --to, --ftp, --sftp, --share or --server";
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
        if (!IsDestinationOption(name))
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
            destination = ReadUrl(name, value, error);
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
        error = "name a destination: --to, --ftp, --sftp, --share or --server";
        return std::nullopt;
    }
    return destinations;
}

bool DestinationOptions::IsDestinationOption(const QString& name) const
{
    for (const QCommandLineOption* option : {&to_, &ftp_, &sftp_, &share_, &server_}) {
        if (name == option->names().front())
            return true;
    }
    return false;
}

std::optional<Destination> DestinationOptions::ReadUrl(const QString& option, const QString& url,
                                                       QString& error) const
{
    struct Kind
    {
        const QCommandLineOption& option;
        int type;
        const char* refusal;
    };
    const Kind kinds[] = {
        {ftp_, DEST_TYPE_FTP, "--ftp takes a URL starting with ftp://, ftpes:// or ftps://"},
        {sftp_, DEST_TYPE_SFTP, "--sftp takes a URL starting with sftp://"},
        {share_, DEST_TYPE_SMB,
         "--share takes \\\\server\\share\\dir or smb://server/share/dir"},
    };
    Destination destination;
    destination.local = false;
    destination.profile.destination = url.toStdString();
    const int type = actCheckType(destination.profile.destination);
    for (const Kind& kind : kinds) {
        if (option == kind.option.names().front() && type != kind.type) {
            error = kind.refusal;
            return std::nullopt;
        }
    }
    if (parser_.isSet(user_)) {
        destination.profile.authentication = true;
        destination.profile.id = parser_.value(user_).toStdString();
    }
    return destination;
}
