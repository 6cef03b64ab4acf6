#include "cli/progress_printer.h"

#include "cli/cli_output.h"
#include "delivery/identity_check.h"

#include <cstdio>
#include <unistd.h>

ProgressPrinter::ProgressPrinter() : enabled_(::isatty(STDERR_FILENO) != 0) {}

ProgressPrinter::~ProgressPrinter()
{
    Clear();
}

void ProgressPrinter::StartFile(const std::string& name, int number, int count)
{
    // Named, not a temporary: GCC 12 reports a false -Wrestrict for
    // "text" + std::string&& (GCC bug 105329).
    const std::string numberText = std::to_string(number);
    file_ = count > 1 ? "[" + numberText + "/" + std::to_string(count) + "] " + name : name;
    if (!enabled_)
        return;
    std::fprintf(stderr, "\r\033[K%s: opening", file_.c_str());
    lineShown_ = true;
}

void ProgressPrinter::SlideWritten(int number, int count)
{
    Show("slide", number, count, "");
}

void ProgressPrinter::ImageDelivered(int number, int count)
{
    Show("image", number, count, " delivered");
}

bool ProgressPrinter::TrustServer(const UntrustedServer& server)
{
    Clear();
    PrintError(QString::fromStdString(RefusalText(server)));
    PrintError("if it is the right server, trust it with: korvanta-cli servers trust URL");
    return false;
}

void ProgressPrinter::Show(const char* what, int number, int count, const char* done)
{
    if (!enabled_)
        return;
    std::fprintf(stderr, "\r\033[K%s: %s %d of %d%s", file_.c_str(), what, number, count, done);
    lineShown_ = true;
}

void ProgressPrinter::Clear()
{
    if (lineShown_)
        std::fputs("\r\033[K", stderr);
    lineShown_ = false;
}
