#include "cli/servers_command.h"

#include "cli/server_trust_action.h"

#include "cli/cli_output.h"
#include "cli/password_input.h"
#include "platform/string_resources.h"
#include "profiles/conn_prof_controller.h"
#include "profiles/connect_profile.h"
#include "profiles/profile_rules.h"

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

// One value of a destination as the command line names it.
struct Field
{
    const char* option;
    std::string ConnectProfileData::*member;
    int limit;
};

const Field kFields[] = {
    {"--name", &ConnectProfileData::dispName, kDispNameLimit},
    {"--destination", &ConnectProfileData::destination, kDestinationLimit},
    {"--user", &ConnectProfileData::id, kUserNameLimit},
    {"KORVANTA_PASSWORD", &ConnectProfileData::password, kPasswordLimit},
};

// Applies --name, --destination, --user and --no-login to a profile. A
// password must come with --user on add; on edit, none keeps the saved one.
bool ApplyOptions(const QCommandLineParser& parser, const QString& action,
                  ConnectProfileData& profile)
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
    if (!parser.isSet("user"))
        return true;
    profile.authentication = true;
    profile.id = parser.value("user").toStdString();
    if (const std::optional<std::string> password = ReadGivenPassword())
        profile.password = *password;
    else if (action == "add") {
        PrintError("servers add: --user needs a password: set KORVANTA_PASSWORD or run it "
                   "at a terminal");
        return false;
    }
    return true;
}

// The edit dialog's rules, told as the command line's options.
bool IsAcceptable(const ConnectProfileData& profile, const QString& action)
{
    const QString subject = "servers " + action + ": ";
    for (const Field& field : kFields) {
        const std::string& value = profile.*field.member;
        if (HoldsControlCharacter(value)) {
            PrintError(subject + field.option +
                       " must not hold a line break or another control character");
            return false;
        }
        if (QString::fromStdString(value).size() > field.limit) {
            PrintError(subject + field.option +
                       QString(" takes at most %1 characters").arg(field.limit));
            return false;
        }
    }
    if (!IsProfileComplete(profile)) {
        PrintError(subject + "--name, --destination and, with a login, --user must not be empty");
        return false;
    }
    if (!IsServerDestination(profile.destination)) {
        PrintError(subject + "--destination must be an ftp://, ftpes://, ftps:// or sftp:// URL, "
                             "a \\\\server\\share path or an smb:// URL");
        return false;
    }
    if (!IsPasswordText(profile.password)) {
        PrintError(subject + "the password takes printable ASCII characters and spaces only");
        return false;
    }
    return true;
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
    parser.addPositionalArgument("action",
                                 "list, add, edit INDEX, delete INDEX or trust URL.",
                                 "list|add|edit|delete|trust [INDEX|URL]");
    parser.addOptions({{"json", "list: print a JSON array."},
                       {"name", "Display name.", "NAME"},
                       {"destination",
                        "ftp://, ftpes://, ftps:// or sftp:// URL, or \\\\server\\share\\dir.",
                        "DEST"},
                       {"user",
                        "Log in as ID; the password comes from KORVANTA_PASSWORD or a "
                        "prompt.",
                        "ID"},
                       {"no-login", "edit: log in anonymously or as a guest."},
                       {"yes", "trust: record the identity without asking."}});
    int status = 0;
    if (!Parse(parser, arguments, status))
        return status;

    ConnProfController profiles;
    if (!profiles.Init()) {
        std::string path;
        ConnectProfile().GetFilePath(path);
        PrintError(QString("the saved destinations cannot be read from \"%1\"")
                       .arg(QString::fromStdString(path)));
        return 1;
    }
    const QString action = parser.positionalArguments().value(0);
    if (action == "trust") {
        if (parser.positionalArguments().size() != 2) {
            PrintError("servers trust: name one URL");
            return kUsageError;
        }
        return TrustServerAction(parser.positionalArguments().at(1), parser.isSet("yes"));
    }
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
        if (!ApplyOptions(parser, action, profile) || !IsAcceptable(profile, action))
            return kUsageError;
        if (profiles.AddConnectProfile(profile))
            return 0;
        // Another writer may have filled the list meanwhile.
        return Refuse(profiles.GetProfileCount() >= MAX_CONNECT_PROFILES ? kLimitReachedString
                                                                         : kAddFailedString);
    }
    const int index = IndexArgument(parser, profiles.GetProfileCount());
    if ((action == "edit" || action == "delete") && index < 0) {
        PrintError("servers " + action + ": INDEX must name a saved destination (see list)");
        return kUsageError;
    }
    if (action == "edit") {
        ConnectProfileData profile;
        profiles.GetConnectProfile(index, profile);
        if (!ApplyOptions(parser, action, profile) || !IsAcceptable(profile, action))
            return kUsageError;
        return profiles.ModifyConnectProfile(profile, index) ? 0 : Refuse(kAddFailedString);
    }
    if (action == "delete")
        return profiles.DeleteConnectProfile(index) ? 0 : Refuse(kDeleteFailedString);
    PrintError("servers: the action is list, add, edit, delete or trust");
    return kUsageError;
}
