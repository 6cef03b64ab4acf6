#include "profiles/byte_limit_edit.h"
#include "tests/widgets/edit_test_support.h"

#include <gtest/gtest.h>

namespace {

class BeepCountingEdit : public CByteLimitEdit
{
public:
    int beeps = 0;

protected:
    void Beep() override { ++beeps; }
};

class ByteLimitEdit : public testing::Test
{
protected:
    // An edit holding text under the given limit, caret at the end.
    void Start(int limit, const QString& text)
    {
        edit.SetByteLimit(limit);
        edit.setText(text);
        edit.end(false);
    }

    int Bytes() const { return Utf8ByteCount(edit.text()); }

    BeepCountingEdit edit;
};

} // namespace

TEST_F(ByteLimitEdit, AtTheLimitALetterIsDroppedSilentlyAndBackspaceWorks)
{
    Start(259, QString(259, u'a'));
    TypeText(&edit, QStringLiteral("b"));
    EXPECT_EQ(QString(259, u'a'), edit.text());
    EXPECT_EQ(0, edit.beeps);

    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(258, Bytes());
    TypeText(&edit, QStringLiteral("b"));
    EXPECT_EQ(QString(258, u'a') + u'b', edit.text());
    EXPECT_EQ(0, edit.beeps);
}

TEST_F(ByteLimitEdit, AWideCharacterNeedsAllItsBytes)
{
    Start(10, QStringLiteral("123456789"));
    TypeText(&edit, QStringLiteral("é"));
    TypeText(&edit, QStringLiteral("日"));
    EXPECT_EQ(QStringLiteral("123456789"), edit.text());
    EXPECT_EQ(2, edit.beeps);
    TypeText(&edit, QStringLiteral("x"));
    EXPECT_EQ(QStringLiteral("123456789x"), edit.text());

    Start(10, QStringLiteral("1234567"));
    TypeText(&edit, QStringLiteral("😀"));
    EXPECT_EQ(3, edit.beeps) << "four bytes with three free";
    TypeText(&edit, QStringLiteral("日"));
    EXPECT_EQ(QStringLiteral("1234567日"), edit.text());
    EXPECT_EQ(3, edit.beeps);
}

TEST_F(ByteLimitEdit, SelectedBytesCountAsFree)
{
    Start(9, QStringLiteral("日日日"));
    edit.selectAll();
    EXPECT_EQ(9, edit.GetSelectedBytes());
    EXPECT_EQ(9, edit.GetRemainingBytes());
    TypeText(&edit, QStringLiteral("a"));
    EXPECT_EQ(QStringLiteral("a"), edit.text());

    Start(6, QStringLiteral("aé日"));
    EXPECT_EQ(0, edit.GetSelectedBytes());
    EXPECT_EQ(0, edit.GetRemainingBytes());
    edit.setSelection(1, 1);
    EXPECT_EQ(2, edit.GetSelectedBytes());
    EXPECT_EQ(2, edit.GetRemainingBytes());
    TypeText(&edit, QStringLiteral("ü"));
    EXPECT_EQ(QStringLiteral("aü日"), edit.text());
    EXPECT_EQ(0, edit.beeps);

    Start(5, QStringLiteral("abcdefg"));
    EXPECT_EQ(-2, edit.GetRemainingBytes()) << "text set by the program is not cut";
}

TEST_F(ByteLimitEdit, APasteGoesInWholeOrNotAtAll)
{
    PutTextOnClipboard(QStringLiteral("日本"));
    Start(10, QStringLiteral("abcd"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("abcd日本"), edit.text());
    EXPECT_EQ(0, edit.beeps);

    Start(10, QStringLiteral("abcde"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("abcde"), edit.text()) << "never shortened to fit";
    EXPECT_EQ(1, edit.beeps);

    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(QStringLiteral("abcde"), edit.text());
    EXPECT_EQ(2, edit.beeps);

    edit.setSelection(0, 1);
    QTest::keyClick(&edit, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_EQ(QStringLiteral("日本bcde"), edit.text()) << "the selection makes room";
    EXPECT_EQ(2, edit.beeps);
}

TEST_F(ByteLimitEdit, TheContextMenuPastesByTheSameRule)
{
    PutTextOnClipboard(QStringLiteral("xyz"));
    Start(5, QStringLiteral("abc"));
    ASSERT_TRUE(PasteFromContextMenu(&edit));
    EXPECT_EQ(QStringLiteral("abc"), edit.text());
    EXPECT_EQ(1, edit.beeps);

    Start(6, QStringLiteral("abc"));
    ASSERT_TRUE(PasteFromContextMenu(&edit));
    EXPECT_EQ(QStringLiteral("abcxyz"), edit.text());
    EXPECT_EQ(1, edit.beeps);
}

TEST_F(ByteLimitEdit, AClipboardWithoutTextBeeps)
{
    PutImageOnClipboard();
    Start(259, QStringLiteral("abc"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("abc"), edit.text());
    EXPECT_EQ(1, edit.beeps);
}

TEST_F(ByteLimitEdit, InputMethodTextIsJudgedCharacterByCharacter)
{
    Start(7, QStringLiteral("a"));
    CommitText(&edit, QStringLiteral("日本語"));
    EXPECT_EQ(QStringLiteral("a日本"), edit.text());
    EXPECT_EQ(1, edit.beeps);

    CommitText(&edit, QStringLiteral("xy"));
    EXPECT_EQ(QStringLiteral("a日本"), edit.text());
    EXPECT_EQ(1, edit.beeps) << "one-byte characters at the limit go silently";
}

TEST_F(ByteLimitEdit, WithoutALimitEverythingGoesIn)
{
    Start(0, QString(300, u'a'));
    TypeText(&edit, QStringLiteral("日"));
    PutTextOnClipboard(QString(100, u'b'));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(300 + 3 + 100, Bytes());
    PutImageOnClipboard();
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(0, edit.beeps);
}

TEST_F(ByteLimitEdit, DroppedTextMustFitAndFilesAreLeftToTheDialog)
{
    Start(5, QStringLiteral("abc"));
    edit.selectAll();
    EXPECT_FALSE(DropText(&edit, QStringLiteral("xyz"))) << "a drop does not replace the selection";
    EXPECT_EQ(QStringLiteral("abc"), edit.text());
    EXPECT_TRUE(DropText(&edit, QStringLiteral("é")));
    EXPECT_EQ(5, Bytes());

    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/tmp/deck.pptx"))});
    files.setText(QStringLiteral("x"));
    Start(259, QString());
    EXPECT_FALSE(Drop(&edit, files));
    EXPECT_EQ(QString(), edit.text());
}

TEST_F(ByteLimitEdit, OnlyTheFirstLineOfAPasteOrDropIsJudgedAndTaken)
{
    Start(6, QStringLiteral("ab"));
    PutTextOnClipboard(QStringLiteral("cdef\r\nmuch longer than the limit"));
    QTest::keyClick(&edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(QStringLiteral("abcdef"), edit.text());
    EXPECT_EQ(0, edit.beeps);

    Start(6, QStringLiteral("ab"));
    EXPECT_FALSE(DropText(&edit, QStringLiteral("cdefg\nh"))) << "the first line is too long";
    EXPECT_TRUE(DropText(&edit, QStringLiteral("cdef\nmore than fits")));
    EXPECT_EQ(QStringLiteral("cdefab"), edit.text()) << "dropped at the start";
    edit.setText(QStringLiteral("ab"));
    EXPECT_TRUE(DropText(&edit, QStringLiteral("\nanything")));
    EXPECT_EQ(QStringLiteral("ab"), edit.text());
}
