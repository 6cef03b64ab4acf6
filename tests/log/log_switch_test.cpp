#include "log/log_switch.h"

#include <gtest/gtest.h>

TEST(LogSwitch, OnlyTheExactSwitchInAnyCaseTurnsTheLogOn)
{
    EXPECT_EQ(3, LogLevelFromArgumentText("-LOG"));
    EXPECT_EQ(3, LogLevelFromArgumentText("-log"));
    EXPECT_EQ(3, LogLevelFromArgumentText("-Log"));

    EXPECT_EQ(0, LogLevelFromArgumentText(""));
    EXPECT_EQ(0, LogLevelFromArgumentText("-LOG -LOG"));
    EXPECT_EQ(0, LogLevelFromArgumentText("/LOG"));
    EXPECT_EQ(0, LogLevelFromArgumentText("-LOG "));
    EXPECT_EQ(0, LogLevelFromArgumentText("--log"));
    EXPECT_EQ(0, LogLevelFromArgumentText("-LOGS"));
}

TEST(LogSwitch, ArgumentTextJoinsArgumentsAfterTheProgramName)
{
    const char* none[] = {"korvanta"};
    const char* one[] = {"korvanta", "-LOG"};
    const char* two[] = {"korvanta", "-LOG", "-LOG"};
    const char* trailingBlank[] = {"korvanta", "-LOG "};

    EXPECT_EQ("", ArgumentText(1, none));
    EXPECT_EQ(3, LogLevelFromArgumentText(ArgumentText(2, one)));
    EXPECT_EQ(0, LogLevelFromArgumentText(ArgumentText(3, two)));
    EXPECT_EQ(0, LogLevelFromArgumentText(ArgumentText(2, trailingBlank)));
}
