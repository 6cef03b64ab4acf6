#pragma once

#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <string>

// The local UNO runtime of this process: bootstrapped once, on first use,
// from any thread, and kept until the process ends.

// True when this call did the bootstrap; false when it had been done
// already. Throws when the runtime cannot be bootstrapped.
bool BootstrapUnoRuntime();

// The local component context, or an empty reference when the runtime is
// not usable.
css::uno::Reference<css::uno::XComponentContext> LocalUnoContext();

// UTF-8 to UNO strings and back.
rtl::OUString ToOUString(const std::string& text);
std::string ToUtf8(const rtl::OUString& text);
