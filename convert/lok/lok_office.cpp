#define LOK_USE_UNSTABLE_API
#include "convert/lok/lok_office.h"

#include "convert/lok/jpeg_file.h"
#include "platform/file_url.h"

#include <LibreOfficeKit/LibreOfficeKit.h>
#include <LibreOfficeKit/LibreOfficeKitEnums.h>
#include <LibreOfficeKit/LibreOfficeKitInit.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <vector>

namespace {

// What LibreOfficeKit says when the office opened nothing, as opposed to an
// error it raised while opening.
constexpr std::string_view kNothingOpened = "loadComponentFromURL returned an empty reference";

} // namespace

LokDeck::LokDeck(LibreOfficeKitDocument* document, std::filesystem::path copyFolder)
    : document_(document), copyFolder_(std::move(copyFolder))
{
    document_->pClass->initializeForRendering(document_, "");
    view_ = document_->pClass->getView(document_);
}

LokDeck::~LokDeck()
{
    Activate();
    document_->pClass->destroy(document_);
    std::error_code error;
    std::filesystem::remove_all(copyFolder_, error);
}

// The office draws and measures through its current view, which is the
// last deck's opened or activated.
void LokDeck::Activate() const
{
    document_->pClass->setView(document_, view_);
}

int LokDeck::SlideCount() const
{
    Activate();
    return document_->pClass->getParts(document_);
}

std::string LokDeck::Render(int number, int width, int height, const std::string& path)
{
    if (number < 1 || number > SlideCount())
        return "no slide " + std::to_string(number);
    const int part = number - 1;
    Activate();
    long pageWidth = 0;
    long pageHeight = 0;
    document_->pClass->setPart(document_, part);
    document_->pClass->getDocumentSize(document_, &pageWidth, &pageHeight);
    if (pageWidth <= 0 || pageHeight <= 0)
        return "the slide has no size";
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height * 4);
    document_->pClass->paintPartTile(document_, pixels.data(), part, width, height, 0, 0,
                                     static_cast<int>(pageWidth), static_cast<int>(pageHeight));
    const bool bgra = document_->pClass->getTileMode(document_) == LOK_TILEMODE_BGRA;
    return WriteJpeg(path, pixels.data(), width, height, bgra);
}

std::unique_ptr<LokOffice> LokOffice::Start(const std::string& programFolder,
                                            const std::string& profileUrl)
{
    LibreOfficeKit* office = lok_init_2(programFolder.c_str(), profileUrl.c_str());
    if (!office)
        return nullptr;
    return std::unique_ptr<LokOffice>(new LokOffice(office));
}

LokOffice::Opened LokOffice::Open(const std::string& path)
{
    Opened opened;
    const char* temp = std::getenv("TMPDIR");
    std::string folder = std::string(temp && *temp ? temp : "/tmp") + "/deck-XXXXXX";
    if (!::mkdtemp(folder.data())) {
        opened.refused = true;
        opened.reason = std::string("no folder for a copy: ") + std::strerror(errno);
        return opened;
    }
    const std::filesystem::path copy =
        std::filesystem::path(folder) / std::filesystem::path(path).filename();
    std::error_code error;
    if (!std::filesystem::copy_file(path, copy, error)) {
        std::filesystem::remove_all(folder, error);
        return opened; // nothing to open: the office would open nothing either
    }
    LibreOfficeKitDocument* document =
        office_->pClass->documentLoadWithOptions(office_, FileUrl(copy).c_str(), "Batch=true");
    if (document) {
        opened.deck = std::make_unique<LokDeck>(document, folder);
        return opened;
    }
    std::filesystem::remove_all(folder, error);
    char* reason = office_->pClass->getError(office_);
    opened.reason = reason ? reason : "";
    std::free(reason);
    opened.refused = opened.reason.find(kNothingOpened) == std::string::npos;
    return opened;
}
