#pragma once

#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <string>

// The component context of the office accepting on the pipe, or an empty
// reference when nothing accepts there. Blocks while an office that took
// the connection does not answer: callers bound it.
css::uno::Reference<css::uno::XComponentContext> ConnectToOffice(const std::string& pipe);
