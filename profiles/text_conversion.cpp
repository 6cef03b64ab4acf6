#include "profiles/text_conversion.h"

#include "log/failure.h"
#include "log/log_scope.h"
#include "platform/utf8.h"

namespace {

// The checked text, or an empty one with the failure logged under the
// caller's name.
std::string Checked(const LogScope& scope, const std::string& text, const char* failure)
{
    try {
        if (!platform::IsValidUtf8(text))
            throw Failure(failure);
        return text;
    } catch (const Failure& e) {
        LogError(scope.Name(), "%s", e.what());
    } catch (...) {
        LogError(scope.Name(), "Unknown exception.");
    }
    return {};
}

} // namespace

std::string UTF16ToANSI(const std::string& text)
{
    LogScope scope("UTF16ToANSI");
    return Checked(scope, text, "WideCharToMultiByte() failed.");
}

std::string ANSIToUTF16(const std::string& text)
{
    LogScope scope("ANSIToUTF16");
    return Checked(scope, text, "MultiByteToWideChar() failed.");
}
