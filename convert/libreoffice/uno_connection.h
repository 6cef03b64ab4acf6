#pragma once

#include <com/sun/star/uno/Reference.hxx>
#include <com/sun/star/uno/XComponentContext.hpp>

// The component context of a lane's office over its pipe, or an empty
// reference when nothing accepts there.
css::uno::Reference<css::uno::XComponentContext> ConnectToOffice(int lane);
