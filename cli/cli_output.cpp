#include "cli/cli_output.h"

#include "platform/string_resources.h"

#include <cstdio>

void PrintResult(const QString& text)
{
    std::fputs(text.toLocal8Bit().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

void PrintError(const QString& text)
{
    std::fprintf(stderr, "korvanta-cli: %s\n", text.toLocal8Bit().constData());
}

void PrintResultError(const QString& subject, int code)
{
    const QString message = QString::fromStdString(platform::ResultMessage(code));
    PrintError(subject.isEmpty() ? message : subject + ": " + message);
}
