#pragma once

#include "convert/automation_dispatch.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

// An office double at the automation boundary: it records every call and
// writes a small JPEG for each slide export, with failures on request.
struct FakeOfficeScript
{
    int lanes = 1;
    bool running = false;             // what IsRunning answers
    bool noApplication = false;       // CreateApplication returns null
    bool noPresentation = false;      // Open returns null
    int laneWithoutPresentation = -1; // Open returns null in this lane only
    bool noSlides = false;            // GetSlides returns null
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

    int LaneCount() const override { return script_.lanes; }
    bool IsRunning(int lane) override;
    std::unique_ptr<ApplicationDispatch> CreateApplication(int lane) override;

    // Calls of lane 0 as they are; those of lane n with "[n] " in front.
    std::vector<std::string> Calls() const;
    bool Called(const std::string& call) const;

    // Used by the fake's objects, from the export's threads.
    const FakeOfficeScript& Script() const { return script_; }
    void Record(int lane, const std::string& call);

private:
    FakeOfficeScript script_;
    mutable std::mutex mutex_;
    std::vector<std::string> calls_;
};
