#include "platform/app_folders.h"
#include "platform/string_resources.h"

#include <QFile>
#include <QStringDecoder>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

const fs::path kBuildDataFolder = KORVANTA_BUILD_DATA_DIR;

// The language each table's page must be written in.
const std::map<int, QString> kPageLanguage{
    {1031, "de"}, {1033, "en"}, {1036, "fr"},    {1040, "it"},
    {1041, "ja"}, {1043, "nl"}, {2052, "zh-CN"}, {3082, "es"},
};

struct PageOutline
{
    QString language;
    QString title;
    int headings = 0;
    QStringList anchors;
};

// Reads the page as XML, which the pages are written to be: an unclosed
// or misnested element fails here.
std::optional<PageOutline> Outline(const QByteArray& bytes, QString& error)
{
    PageOutline outline;
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == u"html")
            outline.language = reader.attributes().value("lang").toString();
        else if (reader.name() == u"title")
            outline.title = reader.readElementText();
        else if (reader.name() == u"h1")
            ++outline.headings;
        if (reader.attributes().hasAttribute("id"))
            outline.anchors << reader.attributes().value("id").toString();
    }
    if (reader.hasError()) {
        error = QStringLiteral("line %1: %2").arg(reader.lineNumber()).arg(reader.errorString());
        return std::nullopt;
    }
    return outline;
}

} // namespace

TEST(HelpPages, EveryTableNamesAWellFormedPageInItsOwnLanguage)
{
    ASSERT_EQ(kPageLanguage.size(), platform::StringTableLanguages().size());
    for (int language : platform::StringTableLanguages()) {
        SCOPED_TRACE(language);
        const auto table = platform::LoadStringTable(language);
        ASSERT_TRUE(table && table->count(17));
        const fs::path page = (kBuildDataFolder / table->at(17)).lexically_normal();
        QFile file(QString::fromStdString(page.string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << page;
        const QByteArray bytes = file.readAll();

        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(bytes);
        EXPECT_FALSE(utf8.hasError()) << page;
        EXPECT_TRUE(bytes.startsWith("<!DOCTYPE html>")) << page;
        EXPECT_TRUE(text.contains(QStringLiteral("<meta charset=\"utf-8\" />"))) << page;

        QString error;
        const auto outline = Outline(bytes, error);
        ASSERT_TRUE(outline) << page << ": " << error.toStdString();
        EXPECT_EQ(kPageLanguage.at(language), outline->language) << page;
        EXPECT_TRUE(outline->title.contains(QStringLiteral("Korvanta"))) << page;
        EXPECT_EQ(1, outline->headings) << page;
    }
}

TEST(HelpPages, TheProgramOfTheBuildTreeFindsThePageOfEveryLanguage)
{
    const fs::path data = platform::DataFolderOf(KORVANTA_PROGRAM);
    EXPECT_EQ(kBuildDataFolder, data);
    for (int language : platform::StringTableLanguages()) {
        const auto table = platform::LoadStringTable(language);
        ASSERT_TRUE(table && table->count(17));
        EXPECT_TRUE(fs::is_regular_file(data / table->at(17))) << language;
    }
}

TEST(HelpPages, EveryPageCoversTheSameTopics)
{
    const QStringList topics{"start",    "source",   "destination", "convert",
                             "settings", "messages", "log",         "files"};
    for (int language : platform::StringTableLanguages()) {
        SCOPED_TRACE(language);
        const auto table = platform::LoadStringTable(language);
        ASSERT_TRUE(table && table->count(17));
        QFile file(QString::fromStdString((kBuildDataFolder / table->at(17)).string()));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QString error;
        const auto outline = Outline(bytes, error);
        ASSERT_TRUE(outline) << error.toStdString();
        EXPECT_EQ(topics, outline->anchors);

        // The page quotes the table's own messages, and names the files.
        const QString text = QString::fromUtf8(bytes).simplified();
        for (int message : {9, 10, 11, 12, 13, 14, 15, 16, 1036, 1047})
            EXPECT_TRUE(text.contains(QString::fromStdString(table->at(message)).simplified()))
                << "message " << message;
        for (const char* name : {"korvanta -LOG", "Korvanta.log",
                                 "QUORVEL Korvanta\nTypeA Server List.dat", "~/.config/korvanta"})
            EXPECT_TRUE(text.contains(QString(name).simplified())) << name;
    }
}
