#pragma once

#include "convert/automation_dispatch.h"
#include "delivery/untrusted_server.h"

#include <atomic>
#include <string>

// The request of one export.
struct PptToJpegData
{
    std::string srcFile;   // full path of the presentation
    std::string dstFolder; // existing folder for the images, no trailing separator
    int width = 0;         // image size in pixels
    int height = 0;
};

// Told each time another slide image is written (written of count so far);
// changes no result. Calls come one at a time, from the export's threads.
class ExportObserver
{
public:
    virtual ~ExportObserver() = default;
    virtual void SlideWritten(int written, int count) = 0;
    // After the export: delivered of the count images have reached the
    // destination (staged there, not yet switched into place).
    virtual void ImageDelivered(int /*delivered*/, int /*count*/) {}
    // During the delivery: whether to trust a server whose identity could
    // not be checked, and go on. Asked on the delivering thread; no front
    // end that cannot ask trusts it.
    virtual bool TrustServer(const UntrustedServer& /*server*/) { return false; }
};

// Exports every slide of data->srcFile as "slide<n>.jpg" into data->dstFolder
// through our LibreOffice, on all its lanes side by side. Stops before the
// next slide once *cancel is set.
// Returns 0, 1 (cancelled), 10 (missing argument), 11 (the office returned no
// application, presentation, slide collection or slide) or 18 (any error the
// office reports, or an image that was not written).
int fnjgConvetPptToJpeg(const PptToJpegData* data, const std::atomic<int>* cancel,
                        ExportObserver* observer = nullptr);

// The same through the given office.
int fnjgConvetPptToJpeg(const PptToJpegData* data, const std::atomic<int>* cancel,
                        OfficeServer& office, ExportObserver* observer = nullptr);

// Digits of the slide count: 1 for 0 to 9 slides, 2 for 10 to 99, ...
int SlideNumberDigits(int slideCount);

// "slide" + number padded with zeros to digits + ".jpg".
std::string SlideImageName(int number, int digits);
