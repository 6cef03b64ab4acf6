#include "profiles/input_control_edit.h"
#include "tests/widgets/edit_test_support.h"

#include <gtest/gtest.h>

TEST(InputControlEdit, TypingTakesPrintableAsciiAndTheSpaceWhenAllowed)
{
    CInputControlEdit edit;
    TypeText(&edit, QStringLiteral("p4 ss~!é日"));
    EXPECT_EQ(QStringLiteral("p4ss~!"), edit.text());
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(QStringLiteral("p4ss~"), edit.text());

    edit.SetAllowSpace(true);
    TypeText(&edit, QStringLiteral(" a ü"));
    EXPECT_EQ(QStringLiteral("p4ss~ a "), edit.text());
}

TEST(InputControlEdit, InputMethodTextIsFilteredLikeTyping)
{
    CInputControlEdit edit;
    CommitText(&edit, QStringLiteral("a é b"));
    EXPECT_EQ(QStringLiteral("ab"), edit.text());
    edit.SetAllowSpace(true);
    CommitText(&edit, QStringLiteral(" c日"));
    EXPECT_EQ(QStringLiteral("ab c"), edit.text());
}

TEST(InputControlEdit, APasteIsRefusedWholeForWideCharactersAndSpaces)
{
    CInputControlEdit edit;
    PutTextOnClipboard(QStringLiteral("pass word"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QString(), edit.text());

    edit.SetAllowSpace(true);
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("pass word"), edit.text());

    PutTextOnClipboard(QStringLiteral("café"));
    edit.selectAll();
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(QStringLiteral("pass word"), edit.text());
    ASSERT_TRUE(PasteFromContextMenu(&edit));
    EXPECT_EQ(QStringLiteral("pass word"), edit.text());

    PutTextOnClipboard(QStringLiteral("x_Y"));
    ASSERT_TRUE(PasteFromContextMenu(&edit));
    EXPECT_EQ(QStringLiteral("x_Y"), edit.text()) << "the selection was replaced";

    PutImageOnClipboard();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("x_Y"), edit.text());
}

TEST(InputControlEdit, PasteTestLooksAtEveryByte)
{
    CInputControlEdit edit;
    EXPECT_TRUE(edit.IsPasteTextAllowed("abc!~"));
    EXPECT_TRUE(edit.IsPasteTextAllowed("a\tb")) << "control characters are not judged";
    EXPECT_TRUE(edit.IsPasteTextAllowed(""));
    EXPECT_FALSE(edit.IsPasteTextAllowed("a b"));
    EXPECT_FALSE(edit.IsPasteTextAllowed("caf\xC3\xA9"));
    EXPECT_FALSE(edit.IsPasteTextAllowed("\xE6\x97\xA5"));
    edit.SetAllowSpace(true);
    EXPECT_TRUE(edit.IsPasteTextAllowed("a b"));
    EXPECT_FALSE(edit.IsPasteTextAllowed("a \xC3\xA9"));
}

TEST(InputControlEdit, DroppedTextFollowsThePasteRule)
{
    CInputControlEdit edit;
    EXPECT_FALSE(DropText(&edit, QStringLiteral("日本")));
    EXPECT_FALSE(DropText(&edit, QStringLiteral("a b")));
    EXPECT_EQ(QString(), edit.text());
    EXPECT_TRUE(DropText(&edit, QStringLiteral("ab")));
    EXPECT_EQ(QStringLiteral("ab"), edit.text());
}
