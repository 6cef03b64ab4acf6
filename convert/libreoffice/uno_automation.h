#pragma once

#include "convert/automation_dispatch.h"

#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <memory>

class LibreOfficeServer;

// The application object of a lane's office, reached through its remote
// component context. Every call runs under the server's watchdog bounds.
std::unique_ptr<ApplicationDispatch>
MakeUnoApplication(LibreOfficeServer& server, int lane,
                   const css::uno::Reference<css::uno::XComponentContext>& remote);
