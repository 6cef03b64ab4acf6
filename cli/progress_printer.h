#pragma once

#include "convert/ppt_export.h"

#include <string>

// Shows on a terminal which file is converted and how far it got.
class ProgressPrinter : public ExportObserver
{
public:
    ProgressPrinter();
    ~ProgressPrinter() override;

    void StartFile(const std::string& name, int number, int count);
    void SlideWritten(int number, int count) override;
    void ImageDelivered(int number, int count) override;
    // Says why the server is refused, and how to trust it; never trusts.
    bool TrustServer(const UntrustedServer& server) override;
    // Clears the progress line before other output.
    void Clear();

private:
    // "<file>: <what> <number> of <count><done>" on the line.
    void Show(const char* what, int number, int count, const char* done);

    bool enabled_;
    std::string file_;
    bool lineShown_ = false;
};
