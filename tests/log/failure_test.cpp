#include "log/failure.h"
#include "tests/support/child_process.h"
#include "tests/support/temp_folder.h"

#include <gtest/gtest.h>

TEST(ResultOfSteps, EachKindOfFailureGivesItsCodeAndLogLine)
{
    TempFolder folder;
    const auto file = folder / "Korvanta.log";
    ASSERT_EQ(
        0, RunInChild([&] {
            LogInit(3, file.string());
            const int codes[] = {
                ResultOfSteps("A", 23, [] { return 0; }),
                ResultOfSteps("B", 23, []() -> int { throw CodedFailure(22, "Login refused."); }),
                ResultOfSteps("C", 23, []() -> int { throw Failure("Copy failed."); }),
                ResultOfSteps("D", 18, []() -> int { throw 42; }),
            };
            return codes[0] == 0 && codes[1] == 22 && codes[2] == 23 && codes[3] == 18 ? 0 : 1;
        }));
    const std::string log = ReadFile(file);
    EXPECT_EQ(std::string::npos, log.find("\"A\""));
    EXPECT_NE(std::string::npos, log.find("\"B\",\"[Error]\",\"Login refused.\""));
    EXPECT_NE(std::string::npos, log.find("\"C\",\"[Error]\",\"Copy failed.\""));
    EXPECT_NE(std::string::npos, log.find("\"D\",\"[Error]\",\"Unknown exception.\""));
}
