#include "app/version_info_dlg.h"
#include "platform/string_resources.h"
#include "tests/app/qstring_print.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

constexpr int kTestTable = 9;
const QString kVersionLine = QStringLiteral("Version  " KORVANTA_VERSION);

QPlainTextEdit* TextBox(CVersionInfoDlg& dialog)
{
    return dialog.findChild<QPlainTextEdit*>(QStringLiteral("1041"));
}

} // namespace

TEST(VersionInfo, TheBoxHoldsTheVersionLineAndTheNoticeWithoutItsByteOrderMark)
{
    QFile resource(QString::fromLatin1(kCopyrightNoticeResource));
    ASSERT_TRUE(resource.open(QIODevice::ReadOnly));
    const QByteArray stored = resource.readAll();
    ASSERT_TRUE(stored.startsWith("\xEF\xBB\xBF"));
    ASSERT_TRUE(stored.endsWith("\r\n"));

    CVersionInfoDlg dialog;
    const QString text = TextBox(dialog)->toPlainText();
    const QStringList lines = text.split(QLatin1Char('\n'));
    ASSERT_EQ(3, lines.size()) << text.toStdString();
    EXPECT_EQ(kVersionLine, lines[0]);
    EXPECT_EQ(QStringLiteral("Copyright (C) 2026 QUORVEL. All rights reserved."), lines[1]);
    EXPECT_TRUE(lines[2].isEmpty());
    EXPECT_EQ("1.0.2.0", std::string(KORVANTA_VERSION));
}

TEST(VersionInfo, OnlyALeadingByteOrderMarkIsSkipped)
{
    EXPECT_EQ(QStringLiteral("Notice"), CopyrightNoticeFromBytes("\xEF\xBB\xBFNotice"));
    EXPECT_EQ(QString::fromUtf8("\xC2\xA9 Maker"), CopyrightNoticeFromBytes("\xC2\xA9 Maker"));
    EXPECT_EQ(QString::fromUtf8("A\xEF\xBB\xBF"), CopyrightNoticeFromBytes("A\xEF\xBB\xBF"));
    EXPECT_EQ(QChar(0xFEFF) + QStringLiteral("X"),
              CopyrightNoticeFromBytes("\xEF\xBB\xBF\xEF\xBB\xBFX"));
    EXPECT_EQ(QString(), CopyrightNoticeFromBytes("\xEF\xBB\xBF"));
    EXPECT_EQ(QString(), CopyrightNoticeFromBytes(""));

    // No notice at all: the version line and an empty second line.
    EXPECT_EQ(QString(), LoadCopyrightNotice(QStringLiteral(":/notice/missing.txt")));
    EXPECT_EQ(kVersionLine + QStringLiteral("\r\n"), VersionInfoText(QString()));
}

TEST(VersionInfo, TakesItsTextsFromTheActiveTable)
{
    platform::UseStringTable({{22, "About X"}, {21, "Product X"}, {1033, "&Fine"}}, kTestTable);
    CVersionInfoDlg dialog;
    platform::SelectStringTable(platform::kEnglishStringTable);
    EXPECT_EQ(QStringLiteral("About X"), dialog.windowTitle());
    EXPECT_EQ(QStringLiteral("Product X"),
              dialog.findChild<QLabel*>(QStringLiteral("1059"))->text());
    auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("1"));
    EXPECT_EQ(QStringLiteral("&Fine"), ok->text());
    EXPECT_TRUE(ok->isDefault());
}

TEST(VersionInfo, ClicksIntoTheTextBoxChangeNothing)
{
    CVersionInfoDlg dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    QPlainTextEdit* box = TextBox(dialog);
    QWidget* area = box->viewport();
    const int caret = box->textCursor().position();
    const QPoint inNotice =
        box->cursorRect(QTextCursor(box->document()->findBlockByNumber(1))).center() +
        QPoint(40, 0);

    QTest::mouseClick(area, Qt::LeftButton, {}, inNotice);
    QTest::mouseDClick(area, Qt::LeftButton, {}, inNotice);

    bool menuOpened = false;
    QTimer closeMenus;
    QObject::connect(&closeMenus, &QTimer::timeout, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            menuOpened = true;
            popup->close();
        }
    });
    closeMenus.start(20);
    QTest::mouseClick(area, Qt::RightButton, {}, inNotice);
    // The menu a right click asks for, as the window system sends it.
    QContextMenuEvent menuRequest(QContextMenuEvent::Mouse, inNotice, area->mapToGlobal(inNotice));
    QApplication::sendEvent(area, &menuRequest);
    QTest::qWait(100);

    EXPECT_FALSE(menuOpened);
    EXPECT_EQ(caret, box->textCursor().position());
    EXPECT_FALSE(box->textCursor().hasSelection());
    EXPECT_FALSE(box->hasFocus());
    dialog.close();
}
