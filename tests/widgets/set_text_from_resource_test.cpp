#include "app/set_text_from_resource.h"
#include "platform/string_resources.h"

#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace {

constexpr int kTestTable = 9;

class SetTextFromResourceTest : public testing::Test
{
protected:
    void SetUp() override
    {
        std::string longText;
        for (int i = 0; i < 130; ++i)
            longText += "é";
        std::string longerText;
        for (int i = 0; i < 128; ++i)
            longerText += "😀";
        platform::UseStringTable({{2, "&Close"},
                                  {500, "Destination Settings"},
                                  {1003, "Conversion Source File"},
                                  {1004, "Select a file or drag && drop one."},
                                  {1060, "&File Location:"},
                                  {7001, longText},
                                  {7002, longerText}},
                                 kTestTable);
    }
    void TearDown() override { platform::SelectStringTable(platform::kEnglishStringTable); }
};

} // namespace

TEST_F(SetTextFromResourceTest, EachKindOfControlTakesTheText)
{
    QDialog dialog;
    auto* button = new QPushButton(QStringLiteral("template"), &dialog);
    auto* group = new QGroupBox(QStringLiteral("template"), &dialog);
    auto* edit = new QLineEdit(QStringLiteral("template"), &dialog);
    auto* label = new QLabel(QStringLiteral("template"), &dialog);
    auto* plain = new QLabel(QStringLiteral("template"), &dialog);
    label->setBuddy(edit);

    EXPECT_TRUE(SetTextFromResource(&dialog, 500));
    EXPECT_TRUE(SetTextFromResource(button, 2));
    EXPECT_TRUE(SetTextFromResource(group, 1003));
    EXPECT_TRUE(SetTextFromResource(edit, 1003));
    EXPECT_TRUE(SetTextFromResource(label, 1060));
    EXPECT_TRUE(SetTextFromResource(plain, 1004));

    EXPECT_EQ(QStringLiteral("Destination Settings"), dialog.windowTitle());
    EXPECT_EQ(QStringLiteral("&Close"), button->text());
    EXPECT_EQ(QStringLiteral("Conversion Source File"), group->title());
    EXPECT_EQ(QStringLiteral("Conversion Source File"), edit->text());
    EXPECT_EQ(QStringLiteral("&File Location:"), label->text());
    EXPECT_EQ(QStringLiteral("Select a file or drag & drop one."), plain->text())
        << "a label without a buddy shows its ampersands resolved";
}

TEST_F(SetTextFromResourceTest, AMissingStringLeavesTheTemplateText)
{
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("template caption"));
    QPushButton button(QStringLiteral("&OK"));
    EXPECT_TRUE(SetTextFromResource(&dialog, 1));
    EXPECT_TRUE(SetTextFromResource(&button, 1));
    EXPECT_TRUE(SetTextFromResource(nullptr, 2));
    EXPECT_EQ(QStringLiteral("template caption"), dialog.windowTitle());
    EXPECT_EQ(QStringLiteral("&OK"), button.text());
}

TEST_F(SetTextFromResourceTest, LongStringsAreCutTo127Characters)
{
    QPushButton button;
    SetTextFromResource(&button, 7001);
    EXPECT_EQ(QString(127, QChar(0xE9)), button.text());

    SetTextFromResource(&button, 7002);
    EXPECT_EQ(127, button.text().toUcs4().size()) << "characters, not UTF-16 units";
    EXPECT_FALSE(button.text().back().isHighSurrogate());
}

TEST_F(SetTextFromResourceTest, MnemonicsReachTheBuddy)
{
    QDialog dialog;
    auto* layout = new QVBoxLayout(&dialog);
    auto* label = new QLabel(QStringLiteral("File Location:"));
    auto* path = new QLineEdit;
    auto* other = new QLineEdit;
    label->setBuddy(path);
    layout->addWidget(label);
    layout->addWidget(path);
    layout->addWidget(other);
    SetTextFromResource(label, 1060);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    other->setFocus();
    ASSERT_TRUE(other->hasFocus());

    QTest::keyClick(&dialog, Qt::Key_F, Qt::AltModifier);
    EXPECT_TRUE(path->hasFocus());
}

TEST(WithoutMnemonics, ResolvesAmpersands)
{
    EXPECT_EQ(QStringLiteral("Convert&Save"), WithoutMnemonics(QStringLiteral("&Convert&&Save")));
    EXPECT_EQ(QStringLiteral("OK(O)"), WithoutMnemonics(QStringLiteral("OK(&O)")));
    EXPECT_EQ(QStringLiteral("a&&b"), WithoutMnemonics(QStringLiteral("a&&&&b")));
    EXPECT_EQ(QStringLiteral("end"), WithoutMnemonics(QStringLiteral("end&")));
}
