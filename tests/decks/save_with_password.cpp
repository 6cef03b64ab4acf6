// save_with_password SOURCE TARGET PASSWORD
// Saves a presentation as a .pptx that opens only with the password. The
// office's --convert-to passes no password to the filter, so this starts an
// office of its own, with its profile in a temporary folder, and asks it
// through UNO.
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/UnoUrlResolver.hpp>
#include <com/sun/star/connection/NoConnectException.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <osl/file.hxx>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace fs = std::filesystem;
using css::beans::NamedValue;
using css::beans::PropertyValue;
using css::uno::Any;
using css::uno::Reference;

namespace {

rtl::OUString ToOUString(const std::string& text)
{
    return rtl::OUString(text.data(), static_cast<sal_Int32>(text.size()), RTL_TEXTENCODING_UTF8);
}

std::string ToUtf8(const rtl::OUString& text)
{
    return rtl::OUStringToOString(text, RTL_TEXTENCODING_UTF8).getStr();
}

PropertyValue Property(const char* name, const Any& value)
{
    return PropertyValue(rtl::OUString::createFromAscii(name), 0, value,
                         css::beans::PropertyState_DIRECT_VALUE);
}

rtl::OUString UrlOf(const fs::path& path)
{
    rtl::OUString url;
    osl::FileBase::getFileURLFromSystemPath(ToOUString(fs::absolute(path).string()), url);
    return url;
}

template <class Value, std::size_t count>
css::uno::Sequence<Value> SequenceOf(const Value (&values)[count])
{
    return css::uno::Sequence<Value>(values, static_cast<sal_Int32>(count));
}

// OOXML's standard encryption, which PowerPoint opens too.
void SaveEncrypted(const Reference<css::uno::XComponentContext>& office, const fs::path& source,
                   const fs::path& target, const std::string& password)
{
    const PropertyValue load[] = {Property("Hidden", Any(true))};
    const Reference<css::lang::XComponent> document =
        css::frame::Desktop::create(office)->loadComponentFromURL(UrlOf(source), "_blank", 0,
                                                                  SequenceOf(load));
    const NamedValue encryption[] = {NamedValue("OOXPassword", Any(ToOUString(password))),
                                     NamedValue("CryptoType", Any(rtl::OUString("Standard")))};
    const PropertyValue store[] = {
        Property("FilterName", Any(rtl::OUString("Impress MS PowerPoint 2007 XML"))),
        Property("EncryptionData", Any(SequenceOf(encryption)))};
    Reference<css::frame::XStorable>(document, css::uno::UNO_QUERY_THROW)
        ->storeToURL(UrlOf(target), SequenceOf(store));
    Reference<css::util::XCloseable>(document, css::uno::UNO_QUERY_THROW)->close(true);
}

// Starts an office accepting on the pipe, with its profile in the folder, in
// a process group of its own: the launcher restarts the office once to set
// up a new profile.
pid_t StartOffice(const fs::path& profile, const std::string& pipe)
{
    const std::string program = LIBREOFFICE_PROGRAM_DIR "/soffice";
    std::string profileOption = "-env:UserInstallation=file://" + profile.string();
    std::string acceptOption = "--accept=pipe,name=" + pipe + ";urp;";
    char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>("--headless"),
                    const_cast<char*>("--invisible"),    const_cast<char*>("--norestore"),
                    profileOption.data(),               acceptOption.data(),
                    nullptr};
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);
    pid_t pid = 0;
    const int status = ::posix_spawn(&pid, program.c_str(), nullptr, &attributes, argv, environ);
    posix_spawnattr_destroy(&attributes);
    return status == 0 ? pid : 0;
}

// The office's component context, once it accepts; empty after a minute.
Reference<css::uno::XComponentContext> AwaitOffice(const std::string& pipe)
{
    ::setenv("URE_BOOTSTRAP", "vnd.sun.star.pathname:" LIBREOFFICE_PROGRAM_DIR "/fundamentalrc", 0);
    const auto local = cppu::defaultBootstrap_InitialComponentContext();
    std::signal(SIGPIPE, SIG_IGN);
    const auto resolver = css::bridge::UnoUrlResolver::create(local);
    const auto url = ToOUString("uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext");
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    while (std::chrono::steady_clock::now() < deadline) {
        try {
            return Reference<css::uno::XComponentContext>(resolver->resolve(url),
                                                          css::uno::UNO_QUERY);
        } catch (const css::connection::NoConnectException&) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    return {};
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: save_with_password SOURCE TARGET PASSWORD\n";
        return 2;
    }
    const fs::path target = argv[2];
    fs::remove(target);
    const fs::path profile = fs::absolute(target).string() + ".office";
    const std::string pipe = "save-with-password-" + std::to_string(::getpid());
    const pid_t office = StartOffice(profile, pipe);
    try {
        const auto context = AwaitOffice(pipe);
        if (!context.is())
            throw std::runtime_error("no office accepted");
        SaveEncrypted(context, argv[1], target, argv[3]);
        css::frame::Desktop::create(context)->terminate();
    } catch (const css::uno::Exception& error) {
        std::cerr << "save_with_password: " << ToUtf8(error.Message) << "\n";
    } catch (const std::exception& error) {
        std::cerr << "save_with_password: " << error.what() << "\n";
    }
    if (office != 0) {
        ::kill(-office, SIGKILL);
        ::waitpid(office, nullptr, 0);
    }
    fs::remove_all(profile);
    std::error_code error;
    return fs::file_size(target, error) > 0 ? 0 : 1;
}
