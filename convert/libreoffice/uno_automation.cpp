#include "convert/libreoffice/uno_automation.h"

#include "convert/libreoffice/libreoffice_server.h"
#include "convert/libreoffice/uno_runtime.h"
#include "convert/libreoffice/watchdog_timer.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/document/MacroExecMode.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/drawing/GraphicExportFilter.hpp>
#include <com/sun/star/drawing/XDrawPage.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XComponentLoader.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <osl/file.hxx>

#include <filesystem>
#include <initializer_list>

using css::beans::PropertyValue;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using css::uno::XComponentContext;

namespace {

enum class Bound
{
    Load,
    Slide,
    Call,
};

// What every object of one office shares: the lane's office and its remote
// component context.
struct OfficeLink
{
    LibreOfficeServer& server;
    int lane;
    Reference<XComponentContext> remote;

    // Runs one office call under the watchdog. An office error, or an office
    // that was killed for taking too long, becomes an AutomationError.
    template <class Call> auto Guarded(Bound bound, const char* what, Call call) const
    {
        const OfficeTimeouts timeouts = server.Timeouts();
        const auto limit = bound == Bound::Load    ? timeouts.load
                           : bound == Bound::Slide ? timeouts.slide
                                                   : timeouts.call;
        WatchdogTimer watchdog(limit, [this] { server.KillOffice(lane); });
        std::string failure;
        try {
            auto result = call();
            if (!watchdog.Expired())
                return result;
        } catch (const css::uno::Exception& error) {
            failure = ToUtf8(error.Message);
        }
        if (watchdog.Expired())
            throw AutomationError(std::string(what) + " took longer than " +
                                  std::to_string(limit.count()) + " ms; the office was stopped.");
        throw AutomationError(std::string(what) + " failed: " + failure);
    }
};

PropertyValue Property(const char* name, const Any& value)
{
    PropertyValue property;
    property.Name = rtl::OUString::createFromAscii(name);
    property.Value = value;
    return property;
}

Sequence<PropertyValue> Properties(std::initializer_list<PropertyValue> properties)
{
    return Sequence<PropertyValue>(properties.begin(), static_cast<sal_Int32>(properties.size()));
}

rtl::OUString FileUrl(const std::string& path)
{
    rtl::OUString url;
    const std::string absolute = std::filesystem::absolute(path).string();
    if (osl::FileBase::getFileURLFromSystemPath(ToOUString(absolute), url) != osl::FileBase::E_None)
        throw AutomationError("No file URL for " + path);
    return url;
}

class UnoSlide : public SlideDispatch
{
public:
    UnoSlide(const OfficeLink& link, const Reference<css::drawing::XDrawPage>& page)
        : link_(link), page_(page)
    {}

    void Export(const std::string& fileName, const std::string& filterName, int width,
                int height) override
    {
        if (filterName != "jpg")
            throw AutomationError("Unsupported export filter " + filterName);
        const Sequence<PropertyValue> filterData =
            Properties({Property("PixelWidth", Any(static_cast<sal_Int32>(width))),
                        Property("PixelHeight", Any(static_cast<sal_Int32>(height)))});
        const Sequence<PropertyValue> descriptor =
            Properties({Property("URL", Any(FileUrl(fileName))),
                        Property("MediaType", Any(rtl::OUString("image/jpeg"))),
                        Property("FilterData", Any(filterData))});
        const bool written = link_.Guarded(Bound::Slide, "Slide export", [&] {
            auto filter = css::drawing::GraphicExportFilter::create(link_.remote);
            filter->setSourceDocument(Reference<css::lang::XComponent>(page_, UNO_QUERY_THROW));
            return static_cast<bool>(filter->filter(descriptor));
        });
        if (!written)
            throw AutomationError("The graphic export filter refused the slide.");
    }

private:
    OfficeLink link_;
    Reference<css::drawing::XDrawPage> page_;
};

class UnoSlides : public SlidesDispatch
{
public:
    UnoSlides(const OfficeLink& link, const Reference<css::drawing::XDrawPages>& pages)
        : link_(link), pages_(pages)
    {}

    int GetCount() override
    {
        return link_.Guarded(Bound::Call, "Counting slides",
                             [&] { return static_cast<int>(pages_->getCount()); });
    }

    std::unique_ptr<SlideDispatch> Item(int index) override
    {
        auto page = link_.Guarded(Bound::Slide, "Fetching a slide", [&] {
            Reference<css::drawing::XDrawPage> found;
            pages_->getByIndex(index - 1) >>= found;
            return found;
        });
        if (!page.is())
            return nullptr;
        return std::make_unique<UnoSlide>(link_, page);
    }

private:
    OfficeLink link_;
    Reference<css::drawing::XDrawPages> pages_;
};

class UnoPresentation : public PresentationDispatch
{
public:
    UnoPresentation(const OfficeLink& link, const Reference<css::lang::XComponent>& document)
        : link_(link), document_(document)
    {}

    std::unique_ptr<SlidesDispatch> GetSlides() override
    {
        auto pages = link_.Guarded(Bound::Call, "Fetching the slides", [&] {
            Reference<css::drawing::XDrawPagesSupplier> supplier(document_, UNO_QUERY);
            return supplier.is() ? supplier->getDrawPages() : Reference<css::drawing::XDrawPages>();
        });
        if (!pages.is())
            return nullptr;
        return std::make_unique<UnoSlides>(link_, pages);
    }

    void Close() override
    {
        link_.Guarded(Bound::Call, "Closing the presentation", [&] {
            Reference<css::util::XCloseable> closeable(document_, UNO_QUERY);
            if (closeable.is())
                closeable->close(true);
            else
                document_->dispose();
            return true;
        });
    }

private:
    OfficeLink link_;
    Reference<css::lang::XComponent> document_;
};

class UnoPresentations : public PresentationsDispatch
{
public:
    UnoPresentations(const OfficeLink& link, const Reference<css::frame::XComponentLoader>& loader)
        : link_(link), loader_(loader)
    {}

    // Loads without a window, read-only, with macros and link updates off and
    // no interaction handler: a password or repair question fails the load
    // at once instead of waiting for an answer. An untitled copy changes
    // nothing for a read-only export, so that flag has no counterpart here.
    std::unique_ptr<PresentationDispatch> Open(const std::string& fileName, int readOnly,
                                               int /*untitled*/, int withWindow) override
    {
        // The office takes an empty file for a new, empty presentation; it
        // is no presentation, and opening it fails.
        std::error_code error;
        if (std::filesystem::file_size(fileName, error) == 0 && !error)
            return nullptr;
        const Sequence<PropertyValue> arguments = Properties(
            {Property("Hidden", Any(withWindow == 0)), Property("ReadOnly", Any(readOnly != 0)),
             Property("MacroExecutionMode", Any(css::document::MacroExecMode::NEVER_EXECUTE)),
             Property("UpdateDocMode", Any(css::document::UpdateDocMode::NO_UPDATE))});
        const rtl::OUString url = FileUrl(fileName);
        link_.server.CountDocument(link_.lane);
        auto document = link_.Guarded(Bound::Load, "Loading the presentation", [&] {
            return loader_->loadComponentFromURL(url, "_blank", 0, arguments);
        });
        if (!document.is())
            return nullptr;
        return std::make_unique<UnoPresentation>(link_, document);
    }

private:
    OfficeLink link_;
    Reference<css::frame::XComponentLoader> loader_;
};

class UnoApplication : public ApplicationDispatch
{
public:
    explicit UnoApplication(const OfficeLink& link) : link_(link) {}

    std::unique_ptr<PresentationsDispatch> GetPresentations() override
    {
        auto desktop = link_.Guarded(Bound::Call, "Reaching the desktop",
                                     [&] { return css::frame::Desktop::create(link_.remote); });
        return std::make_unique<UnoPresentations>(
            link_, Reference<css::frame::XComponentLoader>(desktop, UNO_QUERY_THROW));
    }

    // The connection drops while the office terminates, so the call may
    // fail even when it worked; the process is waited for either way.
    void Quit() override
    {
        try {
            link_.Guarded(Bound::Call, "Terminating the office", [&] {
                css::frame::Desktop::create(link_.remote)->terminate();
                return true;
            });
        } catch (const AutomationError&) {
        }
        link_.server.AwaitOfficeEnd(link_.lane);
    }

private:
    OfficeLink link_;
};

} // namespace

std::unique_ptr<ApplicationDispatch> MakeUnoApplication(LibreOfficeServer& server, int lane,
                                                        const Reference<XComponentContext>& remote)
{
    return std::make_unique<UnoApplication>(OfficeLink{server, lane, remote});
}
