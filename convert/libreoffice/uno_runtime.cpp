#include "convert/libreoffice/uno_runtime.h"

#include <cppuhelper/bootstrap.hxx>

#include <csignal>
#include <cstdlib>
#include <mutex>

using css::uno::Reference;
using css::uno::XComponentContext;

namespace {

std::mutex runtimeMutex;
Reference<XComponentContext> localContext;
bool bootstrapFailed = false;

} // namespace

bool BootstrapUnoRuntime()
{
    std::lock_guard lock(runtimeMutex);
    if (localContext.is())
        return false;
    if (bootstrapFailed)
        throw std::runtime_error("The UNO runtime could not be bootstrapped.");
    try {
        // The office's own bootstrap file names the type and service
        // libraries of this installation.
        ::setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" LIBREOFFICE_PROGRAM_DIR "/fundamentalrc",
                 0);
        localContext = cppu::defaultBootstrap_InitialComponentContext();
        // A bridge writes to its pipe even after the office died; that must
        // fail the call, not end this process. Set after the bootstrap, which
        // puts the default back.
        std::signal(SIGPIPE, SIG_IGN);
    } catch (const css::uno::Exception&) {
        bootstrapFailed = true;
        throw std::runtime_error("The UNO runtime could not be bootstrapped.");
    }
    return true;
}

Reference<XComponentContext> LocalUnoContext()
{
    try {
        BootstrapUnoRuntime();
    } catch (const std::exception&) {
        return {};
    }
    std::lock_guard lock(runtimeMutex);
    return localContext;
}

rtl::OUString ToOUString(const std::string& text)
{
    return rtl::OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

std::string ToUtf8(const rtl::OUString& text)
{
    const rtl::OString bytes = rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8);
    return std::string(bytes.getStr(), static_cast<std::size_t>(bytes.getLength()));
}
