#include "convert/libreoffice/uno_connection.h"

#include "convert/libreoffice/office_process.h"
#include "convert/libreoffice/uno_runtime.h"

#include <com/sun/star/bridge/UnoUrlResolver.hpp>

using css::uno::Reference;
using css::uno::UNO_QUERY;
using css::uno::XComponentContext;

Reference<XComponentContext> ConnectToOffice(int lane)
{
    const Reference<XComponentContext> local = LocalUnoContext();
    if (!local.is())
        return {};
    const std::string url =
        "uno:pipe,name=" + office::PipeName(lane) + ";urp;StarOffice.ComponentContext";
    try {
        auto resolver = css::bridge::UnoUrlResolver::create(local);
        return Reference<XComponentContext>(resolver->resolve(ToOUString(url)), UNO_QUERY);
    } catch (const css::uno::Exception&) {
        return {};
    }
}
