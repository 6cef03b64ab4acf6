#pragma once

#include "convert/automation_dispatch.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

// An office double at the automation boundary: it records every call and
// writes a small JPEG for each slide export, with failures on request.
struct FakeOfficeScript
{
    bool running = false;        // what IsRunning answers
    bool noApplication = false;  // CreateApplication returns null
    bool noPresentation = false; // Open returns null
    bool noSlides = false;       // GetSlides returns null
    int slideCount = 3;
    int missingSlide = 0;       // Item returns null for this number
    int failingExport = 0;      // Export of this number throws
    int exportWithoutFile = 0;  // Export of this number writes nothing
    int exportNotJpeg = 0;      // Export of this number writes a PNG
    int cancelDuringExport = 0; // Export of this number sets *cancel
    std::atomic<int>* cancel = nullptr;
};

class FakeOffice : public OfficeServer
{
public:
    explicit FakeOffice(FakeOfficeScript script) : script_(std::move(script)) {}

    bool IsRunning() override;
    std::unique_ptr<ApplicationDispatch> CreateApplication() override;

    const std::vector<std::string>& Calls() const { return calls_; }
    bool Called(const std::string& call) const;

    // Used by the fake's objects.
    const FakeOfficeScript& Script() const { return script_; }
    void Record(std::string call) { calls_.push_back(std::move(call)); }

private:
    FakeOfficeScript script_;
    std::vector<std::string> calls_;
};
