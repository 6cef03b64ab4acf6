#include "convert/libreoffice/uno_connection.h"

#include "convert/libreoffice/uno_runtime.h"
#include "log/debug_log.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::XComponentContext;

Reference<XComponentContext> ConnectToOffice(const std::string& pipe)
{
    const Reference<XComponentContext> local = LocalUnoContext();
    if (!local.is())
        return {};
    const std::string url = "uno:pipe,name=" + pipe + ";urp;StarOffice.ComponentContext";
    try {
        auto resolver = css::bridge::UnoUrlResolver::create(local);
        return Reference<XComponentContext>(resolver->resolve(ToOUString(url)), UNO_QUERY);
    } catch (const css::uno::Exception& error) {
        LogInfo("ConnectToOffice", "Office:[%s].", ToUtf8(error.Message).c_str());
        return {};
    }
}
