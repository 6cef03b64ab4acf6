#include "app/qt_translations.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The texts of a line edit's context menu, as the user sees them.
QStringList ContextMenuTexts()
{
    QLineEdit edit;
    const std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
    QStringList texts;
    for (const QAction* action : menu->actions())
        texts << action->text().section(QLatin1Char('\t'), 0, 0);
    return texts;
}

} // namespace

TEST(QtTranslation, FollowsTheStringTableAndEnglishTakesItAway)
{
    ASSERT_TRUE(UseQtTranslation(1031));
    EXPECT_EQ("Suchen in:", QCoreApplication::translate("QFileDialog", "Look in:"));
    EXPECT_TRUE(ContextMenuTexts().contains("&Kopieren"))
        << ContextMenuTexts().join(' ').toStdString();

    ASSERT_TRUE(UseQtTranslation(1043));
    EXPECT_TRUE(ContextMenuTexts().contains("&Kopiëren"));

    EXPECT_TRUE(UseQtTranslation(1033));
    EXPECT_EQ("Look in:", QCoreApplication::translate("QFileDialog", "Look in:"));
    EXPECT_TRUE(ContextMenuTexts().contains("&Copy"));
}
