#include "tests/profiles/profile_test_env.h"
#include "tests/support/shared_files.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

struct Expectation
{
    bool loadResult = false;
    std::vector<ConnectProfileData> profiles;
};

ConnectProfileData ProfileFromJson(const QJsonObject& json)
{
    ConnectProfileData profile;
    profile.dispName = json["dispName"].toString().toStdString();
    profile.destination = json["destination"].toString().toStdString();
    profile.authentication = json["authentication"].toBool();
    profile.id = json["id"].toString().toStdString();
    profile.password = json["password"].toString().toStdString();
    return profile;
}

std::map<std::string, Expectation> ReadExpectations()
{
    QFile file(QString::fromStdString(SharedVector("expected.json").string()));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QJsonObject all = QJsonDocument::fromJson(file.readAll()).object();
    std::map<std::string, Expectation> expectations;
    for (auto it = all.begin(); it != all.end(); ++it) {
        Expectation& expectation = expectations[it.key().toStdString()];
        const QJsonObject entry = it.value().toObject();
        expectation.loadResult = entry["load_result"].toBool();
        for (const QJsonValue& profile : entry["profiles"].toArray())
            expectation.profiles.push_back(ProfileFromJson(profile.toObject()));
    }
    return expectations;
}

} // namespace

TEST(ProfileVectors, EveryVectorHasAnExpectation)
{
    REQUIRE_SHARED("vectors");
    std::set<std::string> files, expected;
    for (const auto& entry : fs::directory_iterator(SharedVector("")))
        if (entry.path().extension() == ".dat")
            files.insert(entry.path().stem().string());
    for (const auto& [name, expectation] : ReadExpectations())
        expected.insert(name);
    EXPECT_FALSE(files.empty());
    EXPECT_EQ(files, expected);
}

// Each vector is read in place through a link, then the list is saved by this
// program and read back: it must survive both.
TEST(ProfileVectors, LoadAsExpectedAndSaveBackTheSameList)
{
    REQUIRE_SHARED("vectors");
    const auto expectations = ReadExpectations();
    ASSERT_FALSE(expectations.empty());
    for (const auto& [name, expected] : expectations) {
        SCOPED_TRACE(name);
        const fs::path vector = SharedVector(name + ".dat");
        const std::string original = ReadFile(vector);
        ConfigHome home;
        fs::create_directory(home.Folder());
        fs::create_symlink(vector, home.File());
        ExpectLoadedAndSavedBack(home, expected.loadResult, expected.profiles);
        EXPECT_EQ(original, ReadFile(vector));
    }
}
