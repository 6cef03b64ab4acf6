#include "convert/ppt_export.h"

#include "convert/automation.h"
#include "convert/libreoffice/libreoffice_server.h"
#include "convert/result_codes.h"
#include "log/debug_log.h"
#include "log/failure.h"

#include <cstdio>
#include <fstream>

namespace {

const char* const kExportName = "fnjgConvetPptToJpeg";
const int kMsoTrue = -1;
const int kMsoFalse = 0;

// A failed step with the result code it stands for.
class ExportFailure : public Failure
{
public:
    ExportFailure(int code, const char* message) : Failure(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

bool IsNonEmptyJpeg(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    unsigned char head[3] = {};
    file.read(reinterpret_cast<char*>(head), sizeof head);
    return file.gcount() == sizeof head && head[0] == 0xFF && head[1] == 0xD8 && head[2] == 0xFF;
}

// The automation objects of one export, shut down exactly once.
class ExportSession
{
public:
    ExportSession(OfficeServer& office, bool officeWasRunning)
        : application(office), officeWasRunning_(officeWasRunning)
    {}
    ~ExportSession() { ShutDown(); }

    // Closes the presentation, quits the office when this export started it.
    // The office may be gone already: nothing here fails.
    void ShutDown()
    {
        if (!application.IsAttached())
            return;
        if (presentation.IsAttached()) {
            Ignore([this] { presentation.Close(); });
            presentation.ReleaseDispatch();
        }
        if (!officeWasRunning_)
            Ignore([this] { application.Quit(); });
        application.ReleaseDispatch();
    }

    Application application;
    Presentations presentations;
    Presentation presentation;
    Slides slides;
    Slide slide;

private:
    template <class Call> static void Ignore(Call call)
    {
        try {
            call();
        } catch (...) {
        }
    }

    bool officeWasRunning_;
};

// Steps 5.1 to 5.6: everything that talks to the office. Returns 0 or 1.
int ExportSlides(ExportSession& session, const PptToJpegData& data, const std::atomic<int>& cancel,
                 ExportObserver* observer)
{
    if (!session.application.CreateDispatch())
        throw ExportFailure(RESULT_APPLICATION_FAILED, "_Application::CreateDispatch() failed.");
    session.presentations.AttachDispatch(session.application.GetPresentations());
    session.presentation.AttachDispatch(
        session.presentations.Open(data.srcFile, kMsoTrue, kMsoTrue, kMsoFalse));
    if (!session.presentation.IsAttached())
        throw ExportFailure(RESULT_APPLICATION_FAILED, "Presentations::Open() failed.");
    session.slides.AttachDispatch(session.presentation.GetSlides());
    if (!session.slides.IsAttached())
        throw ExportFailure(RESULT_APPLICATION_FAILED, "_Presentation::GetSlides() failed.");

    const int count = session.slides.GetCount();
    const int digits = SlideNumberDigits(count);
    for (int number = 1; number <= count; ++number) {
        if (cancel.load() != 0)
            return RESULT_CANCELLED;
        session.slide.AttachDispatch(session.slides.Item(number));
        if (!session.slide.IsAttached())
            throw ExportFailure(RESULT_APPLICATION_FAILED, "Slides::Item() failed.");
        const std::string path = data.dstFolder + "/" + SlideImageName(number, digits);
        session.slide.Export(path, "jpg", data.width, data.height);
        // The office can report success without writing the image.
        if (!IsNonEmptyJpeg(path))
            throw ExportFailure(RESULT_CONVERSION_FAILED, "Slide::Export() wrote no JPEG image.");
        if (observer)
            observer->SlideWritten(number, count);
    }
    return RESULT_SUCCESS;
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

    ExportSession session(office, office.IsRunning());
    int result = RESULT_CONVERSION_FAILED;
    try {
        result = ExportSlides(session, *data, *cancel, observer);
        session.ShutDown();
    } catch (const ExportFailure& failure) {
        session.ShutDown();
        result = failure.Code();
        LogError(kExportName, "%s", failure.what());
    } catch (const AutomationError& error) {
        session.ShutDown();
        result = RESULT_CONVERSION_FAILED;
        LogError(kExportName, "Unknown exception.");
        LogInfo(kExportName, "Office:[%s].", error.what());
    } catch (...) {
        session.ShutDown();
        result = RESULT_CONVERSION_FAILED;
        LogError(kExportName, "Unknown exception.");
    }
    LogEnd(kExportName, __LINE__);
    return result;
}
