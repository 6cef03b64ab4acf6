#pragma once

#include "delivery/identity_check.h"
#include "delivery/sending_data.h"

#include <functional>
#include <string>

// Logs in with logIn, which tells whether it got in, and throws
// CodedFailure 22 when it did not. A server whose identity was refused (as
// identity tells) is put to request.trustServer: trusted, it is recorded and
// logIn runs once more.
void LogInTrusting(const std::string& function, const SendingData& request,
                   const IdentityCheck& identity, const std::function<bool()>& logIn);
