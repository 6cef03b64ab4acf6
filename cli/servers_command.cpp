#include "cli/servers_command.h"

#include "cli/cli_output.h"
#include "cli/password_input.h"
#include "platform/string_resources.h"
#include "profiles/conn_prof_controller.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

const int kLimitReachedString = 14;
const int kAddFailedString = 15;
const int kDeleteFailedString = 16;

int Refuse(int stringId)
{
    PrintError(QString::fromStdString(platform::LoadResourceString(stringId).value_or("")));
    return 1;
}

int List(ConnProfController& profiles, bool json)
{
    QJsonArray array;
    for (int index = 0; index < profiles.GetProfileCount(); ++index) {
        ConnectProfileData profile;
        profiles.GetConnectProfile(index, profile);
        if (!json) {
            PrintResult(QString("%1\t%2\t%3")
                            .arg(index)
                            .arg(QString::fromStdString(profile.dispName),
                                 QString::fromStdString(profile.destination)));
            continue;
        }
        array.append(QJsonObject{{"dispName", QString::fromStdString(profile.dispName)},
                                 {"destination", QString::fromStdString(profile.destination)},
                                 {"authentication", profile.authentication},
                                 {"id", QString::fromStdString(profile.id)}});
    }
    if (json)
        PrintResult(QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact)));
    return 0;
}

// Applies --name, --destination, --user and --no-login to a profile.
void ApplyOptions(const QCommandLineParser& parser, ConnectProfileData& profile)
{
    if (parser.isSet("name"))
        profile.dispName = parser.value("name").toStdString();
    if (parser.isSet("destination"))
        profile.destination = parser.value("destination").toStdString();
    if (parser.isSet("no-login")) {
        profile.authentication = false;
        profile.id.clear();
        profile.password.clear();
    }
    if (parser.isSet("user")) {
        profile.authentication = true;
        profile.id = parser.value("user").toStdString();
        profile.password = ReadPassword();
    }
}

// The profile index named by the second positional argument, or -1.
int IndexArgument(const QCommandLineParser& parser, int count)
{
    bool number = false;
    const int index = parser.positionalArguments().value(1).toInt(&number);
    return number && index >= 0 && index < count ? index : -1;
}

} // namespace

QString ServersCommand::Description() const
{
    return "List, add, edit or delete the saved server destinations.";
}

int ServersCommand::Execute(const QStringList& arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument("action", "list, add, edit INDEX or delete INDEX.",
                                 "list|add|edit|delete [INDEX]");
    parser.addOptions({{"json", "list: print a JSON array."},
                       {"name", "Display name.", "NAME"},
                       {"destination", "ftp://... URL or \\\\server\\share\\dir.", "DEST"},
                       {"user",
                        "Log in as ID; the password comes from KORVANTA_PASSWORD or a "
                        "prompt.",
                        "ID"},
                       {"no-login", "edit: log in anonymously or as a guest."}});
    int status = 0;
    if (!Parse(parser, arguments, status))
        return status;

    ConnProfController profiles;
    profiles.Init();
    const QString action = parser.positionalArguments().value(0);
    if (action == "list")
        return List(profiles, parser.isSet("json"));
    if (action == "add") {
        if (!parser.isSet("name") || !parser.isSet("destination")) {
            PrintError("servers add: --name and --destination are required");
            return kUsageError;
        }
        if (profiles.GetProfileCount() >= MAX_CONNECT_PROFILES)
            return Refuse(kLimitReachedString);
        ConnectProfileData profile;
        ApplyOptions(parser, profile);
        return profiles.AddConnectProfile(profile) ? 0 : Refuse(kAddFailedString);
    }
    const int index = IndexArgument(parser, profiles.GetProfileCount());
    if ((action == "edit" || action == "delete") && index < 0) {
        PrintError("servers " + action + ": INDEX must name a saved destination (see list)");
        return kUsageError;
    }
    if (action == "edit") {
        ConnectProfileData profile;
        profiles.GetConnectProfile(index, profile);
        ApplyOptions(parser, profile);
        return profiles.ModifyConnectProfile(profile, index) ? 0 : Refuse(kAddFailedString);
    }
    if (action == "delete")
        return profiles.DeleteConnectProfile(index) ? 0 : Refuse(kDeleteFailedString);
    PrintError("servers: the action is list, add, edit or delete");
    return kUsageError;
}
