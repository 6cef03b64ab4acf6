#include "app/file_argument.h"
#include "tests/app/qstring_print.h"

#include <QDir>

#include <gtest/gtest.h>

TEST(FileArgument, IsTheFirstArgumentThatIsNoOptionOrTheOneAfterTheDoubleDash)
{
    const QString here = QDir::currentPath() + u'/';
    const std::vector<std::pair<QStringList, QString>> cases{
        {{}, ""},
        {{"-LOG"}, ""},
        {{"--"}, ""},
        {{"--", ""}, ""},
        {{"deck.pptx"}, here + "deck.pptx"},
        {{"/decks/deck.pptx"}, "/decks/deck.pptx"},
        {{"-LOG", "deck.pptx"}, here + "deck.pptx"},
        {{"", "-x", "sub/a b\nc.ppt", "second.pptx"}, here + "sub/a b\nc.ppt"},
        {{"--", "-LOG"}, here + "-LOG"},
        {{"-x", "--", "--"}, here + "--"},
    };
    for (const auto& [arguments, file] : cases) {
        EXPECT_EQ(file, FileArgument(QStringList{"korvanta"} + arguments))
            << arguments.join(u' ').toStdString();
    }
}
