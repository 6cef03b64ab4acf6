// save_with_password SOURCE TARGET PASSWORD
// Saves a presentation as a .pptx that opens only with the password. The
// office's --convert-to passes no password to the filter, so this asks an
// office of ours through UNO; XDG_CACHE_HOME says where its profile goes.
#include "convert/libreoffice/libreoffice_server.h"
#include "convert/libreoffice/uno_connection.h"
#include "convert/libreoffice/uno_runtime.h"

#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <osl/file.hxx>

#include <filesystem>
#include <iostream>

namespace fs = std::filesystem;
using css::beans::NamedValue;
using css::beans::PropertyValue;
using css::uno::Any;
using css::uno::Reference;

namespace {

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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::cerr << "usage: save_with_password SOURCE TARGET PASSWORD\n";
        return 2;
    }
    const fs::path target = argv[2];
    fs::remove(target);
    LibreOfficeServer& server = LibreOfficeServer::Instance();
    server.SetLaneCount(1);
    server.StartOffices();
    try {
        const auto office = ConnectToOffice(server.OwnPipeName(0));
        if (!office.is())
            throw std::runtime_error("no office accepted");
        SaveEncrypted(office, argv[1], target, argv[3]);
    } catch (const css::uno::Exception& error) {
        std::cerr << "save_with_password: " << ToUtf8(error.Message) << "\n";
    } catch (const std::exception& error) {
        std::cerr << "save_with_password: " << error.what() << "\n";
    }
    server.QuitOwnOffices();
    std::error_code error;
    return fs::file_size(target, error) > 0 ? 0 : 1;
}
