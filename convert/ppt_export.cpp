#include "convert/ppt_export.h"

#include "convert/automation.h"
#include "convert/libreoffice/libreoffice_server.h"
#include "convert/pptx_slide_count.h"
#include "convert/result_codes.h"
#include "convert/side_by_side.h"
#include "convert/slide_queue.h"
#include "log/debug_log.h"
#include "log/failure.h"
#include "platform/unique_fd.h"

#include <cstdio>
#include <exception>
#include <fcntl.h>
#include <mutex>
#include <optional>
#include <vector>

namespace {

const char* const kExportName = "fnjgConvetPptToJpeg";
const int kMsoTrue = -1;
const int kMsoFalse = 0;

// Each further office loads the whole deck again. A deck with fewer slides
// than this is done sooner by one office alone.
const int kSlidesForAllLanes = 8;

// The lanes worth opening the deck in. A deck whose slides cannot be counted
// beforehand (a .ppt, say) gets them all.
int LanesFor(const std::string& deck, int lanes)
{
    const std::optional<int> slides = CountPptxSlides(deck);
    return slides && *slides < kSlidesForAllLanes ? 1 : lanes;
}

bool IsNonEmptyJpeg(const std::string& path)
{
    const UniqueFd file(::open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    unsigned char head[3] = {};
    return file.IsOpen() && ::read(file.Get(), head, sizeof head) == sizeof head &&
           head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

// One office's part of an export: its automation objects, shut down exactly
// once.
class ExportLane
{
public:
    ExportLane(OfficeServer& office, int lane)
        : application_(office, lane), officeWasRunning_(office.IsRunning(lane))
    {}
    ~ExportLane() { ShutDown(); }
    ExportLane(const ExportLane&) = delete;
    ExportLane& operator=(const ExportLane&) = delete;

    // Reaches the office, opens the presentation, returns its slide count.
    int Open(const PptToJpegData& data)
    {
        if (!application_.CreateDispatch())
            throw CodedFailure(RESULT_APPLICATION_FAILED, "_Application::CreateDispatch() failed.");
        presentations_.AttachDispatch(application_.GetPresentations());
        presentation_.AttachDispatch(
            presentations_.Open(data.srcFile, kMsoTrue, kMsoTrue, kMsoFalse));
        if (!presentation_.IsAttached())
            throw CodedFailure(RESULT_APPLICATION_FAILED, "Presentations::Open() failed.");
        slides_.AttachDispatch(presentation_.GetSlides());
        if (!slides_.IsAttached())
            throw CodedFailure(RESULT_APPLICATION_FAILED, "_Presentation::GetSlides() failed.");
        return slides_.GetCount();
    }

    void ExportSlide(const PptToJpegData& data, int number, int digits)
    {
        slide_.AttachDispatch(slides_.Item(number));
        if (!slide_.IsAttached())
            throw CodedFailure(RESULT_APPLICATION_FAILED, "Slides::Item() failed.");
        const std::string path = data.dstFolder + "/" + SlideImageName(number, digits);
        slide_.Export(path, "jpg", data.width, data.height);
        // The office can report success without writing the image.
        if (!IsNonEmptyJpeg(path))
            throw CodedFailure(RESULT_CONVERSION_FAILED, "Slide::Export() wrote no JPEG image.");
    }

    // Closes the presentation, quits the office when this export started it.
    // The office may be gone already: nothing here fails.
    void ShutDown()
    {
        if (!application_.IsAttached())
            return;
        if (presentation_.IsAttached()) {
            Ignore([this] { presentation_.Close(); });
            presentation_.ReleaseDispatch();
        }
        if (!officeWasRunning_)
            Ignore([this] { application_.Quit(); });
        application_.ReleaseDispatch();
    }

private:
    template <class Call> static void Ignore(Call call)
    {
        try {
            call();
        } catch (...) {
        }
    }

    Application application_;
    Presentations presentations_;
    Presentation presentation_;
    Slides slides_;
    Slide slide_;
    bool officeWasRunning_;
};

// Opens the presentation in every lane at once and exports its slides,
// each lane taking the next slide not yet taken. Returns 0 or 1; throws the
// first failure. Lane 0 decides the slide count; another lane that cannot
// open the presentation, or counts other slides, stays out of the work.
int ExportSlides(const std::vector<ExportLane*>& lanes, const PptToJpegData& data,
                 const std::atomic<int>& cancel, ExportObserver* observer)
{
    std::vector<int> counts(lanes.size(), -1);
    std::vector<std::exception_ptr> openFailures(lanes.size());
    SideBySide(lanes.size(), [&](std::size_t index) {
        try {
            counts[index] = lanes[index]->Open(data);
        } catch (...) {
            openFailures[index] = std::current_exception();
        }
    });
    if (openFailures[0])
        std::rethrow_exception(openFailures[0]);

    const int count = counts[0];
    std::vector<ExportLane*> working;
    for (std::size_t index = 0; index < lanes.size(); ++index) {
        if (counts[index] == count)
            working.push_back(lanes[index]);
    }
    const int digits = SlideNumberDigits(count);
    SlideQueue queue(count, cancel, observer);
    SideBySide(working.size(), [&](std::size_t index) {
        try {
            for (int number = queue.Next(); number != 0; number = queue.Next()) {
                working[index]->ExportSlide(data, number, digits);
                queue.Written();
            }
        } catch (...) {
            queue.Fail(std::current_exception());
        }
    });
    if (queue.Failure())
        std::rethrow_exception(queue.Failure());
    return queue.Cancelled() ? RESULT_CANCELLED : RESULT_SUCCESS;
}

void ShutDownAll(const std::vector<ExportLane*>& lanes)
{
    SideBySide(lanes.size(), [&](std::size_t index) { lanes[index]->ShutDown(); });
}

} // namespace

int SlideNumberDigits(int slideCount)
{
    int digits = 0;
    do {
        slideCount /= 10;
        ++digits;
    } while (slideCount > 0);
    return digits;
}

std::string SlideImageName(int number, int digits)
{
    char name[64];
    std::snprintf(name, sizeof name, "slide%0*d.jpg", digits, number);
    return name;
}

int fnjgConvetPptToJpeg(const PptToJpegData* data, const std::atomic<int>* cancel,
                        ExportObserver* observer)
{
    return fnjgConvetPptToJpeg(data, cancel, LibreOfficeServer::Instance(), observer);
}

int fnjgConvetPptToJpeg(const PptToJpegData* data, const std::atomic<int>* cancel,
                        OfficeServer& office, ExportObserver* observer)
{
    LogStart(kExportName);
    if (!data || !cancel) {
        LogError(kExportName, "Invalid parameter.");
        LogEnd(kExportName, __LINE__);
        return RESULT_MISSING_ARGUMENT;
    }
    LogInfo(kExportName, "PptToJpeg:Src[%s].", data->srcFile.c_str());
    LogInfo(kExportName, "PptToJpeg:Dst[%s].", data->dstFolder.c_str());
    LogInfo(kExportName, "PptToJpeg:(%d)x(%d).", data->width, data->height);
    if (cancel->load() != 0) {
        LogEnd(kExportName, __LINE__);
        return RESULT_CANCELLED;
    }

    std::vector<std::unique_ptr<ExportLane>> owned;
    std::vector<ExportLane*> lanes;
    const int laneCount = LanesFor(data->srcFile, office.LaneCount());
    for (int lane = 0; lane < laneCount; ++lane) {
        owned.push_back(std::make_unique<ExportLane>(office, lane));
        lanes.push_back(owned.back().get());
    }
    const int result = ResultOfSteps(kExportName, RESULT_CONVERSION_FAILED, [&] {
        try {
            return ExportSlides(lanes, *data, *cancel, observer);
        } catch (const AutomationError& error) {
            // What the office said; the error line itself is the generic one.
            LogInfo(kExportName, "Office:[%s].", error.what());
            throw;
        }
    });
    ShutDownAll(lanes);
    LogEnd(kExportName, __LINE__);
    return result;
}
