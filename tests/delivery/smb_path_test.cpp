#include "delivery/smb_path.h"

#include <gtest/gtest.h>

namespace {

std::string UrlOf(const std::string& destination)
{
    const auto path = ParseSharePath(destination);
    return path ? path->url : "<none>";
}

TEST(SmbSharePath, UncPathsAndUrlsNameTheWholeDestination)
{
    for (const char* destination : {"\\\\files\\images\\2024\\q3", "\\\\files\\images\\2024\\q3\\",
                                    "\\\\files\\images/2024/q3", "smb://files/images/2024/q3",
                                    "SMB://files/images/2024/q3/"}) {
        const auto path = ParseSharePath(destination);
        ASSERT_TRUE(path) << destination;
        EXPECT_EQ("smb://files/images", path->shareUrl) << destination;
        EXPECT_EQ("smb://files/images/2024/q3", path->url) << destination;
    }
    EXPECT_EQ("smb://files/images", UrlOf("\\\\files\\images\\"));
    EXPECT_EQ("smb://127.0.0.1:4450/images/a", UrlOf("\\\\127.0.0.1:4450\\images\\a"));
    EXPECT_EQ("smb://127.0.0.1:4450/images/a", UrlOf("smb://127.0.0.1:4450/images/a"));
}

TEST(SmbSharePath, NamesFromAUncPathAreEncodedAndAUrlIsKept)
{
    EXPECT_EQ("smb://files/Team%20Share/Q3%20100%25%20%23%3F%C3%A4",
              UrlOf("\\\\files\\Team Share\\Q3 100% #?ä"));
    EXPECT_EQ("smb://files/Team%20Share/Q3", UrlOf("smb://files/Team%20Share/Q3"));
    EXPECT_EQ("smb://files/share/a/Deck%201%25",
              AppendToShareUrl(ParseSharePath("smb://files/share/a/")->url, "Deck 1%"));
}

TEST(SmbSharePath, PathsWithoutServerShareOrWithCredentialsAreRefused)
{
    for (const char* destination :
         {"", "\\\\", "\\\\files", "\\\\files\\", "\\\\\\images", "smb://", "smb://files/",
          "\\\\files\\images\\\\a", "\\\\files\\images\\a\\\\", "smb://files//a",
          "smb://ann:pw@files/images", "\\\\ann@files\\images", "smb://files/images?debug=10",
          "//files/images", "C:\\images", "ftp://files/images"})
        EXPECT_FALSE(ParseSharePath(destination)) << destination;
}

TEST(SmbSharePath, FoldersBelowTheShareComeOutermostFirst)
{
    EXPECT_EQ((std::vector<std::string>{"smb://s/share/a", "smb://s/share/a/b%20c"}),
              FoldersBelowShare("smb://s/share/a/b%20c"));
    EXPECT_EQ(std::vector<std::string>{"smb://s:99/share/a"},
              FoldersBelowShare("\\\\s:99\\share\\a"));
    EXPECT_TRUE(FoldersBelowShare("smb://s/share").empty());
    EXPECT_TRUE(FoldersBelowShare("smb://s").empty());
}

} // namespace
