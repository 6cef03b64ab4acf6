#pragma once

#include "log/debug_log.h"

#include <stdexcept>
#include <string>

// A failed step, carrying the ASCII message the log shows for it. Raised
// inside a function and caught at that function's own end; never crosses a
// function boundary.
class Failure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A failed step that also sets the result code of its function.
class CodedFailure : public Failure
{
public:
    CodedFailure(int code, const std::string& message) : Failure(message), code_(code) {}
    int Code() const { return code_; }

private:
    int code_;
};

// Runs the steps of a function that returns a result code. A failure is
// logged under the function's name and gives its own code (CodedFailure) or
// unknownCode; anything else is logged as "Unknown exception." and gives
// unknownCode.
template <class Steps> int ResultOfSteps(const std::string& function, int unknownCode, Steps steps)
{
    try {
        return steps();
    } catch (const CodedFailure& failure) {
        LogError(function, "%s", failure.what());
        return failure.Code();
    } catch (const Failure& failure) {
        LogError(function, "%s", failure.what());
        return unknownCode;
    } catch (...) {
        LogError(function, "Unknown exception.");
        return unknownCode;
    }
}

// The same for a function that reports success as a bool: true when the
// steps ran through, false after logging what stopped them.
template <class Steps> bool StepsSucceed(const std::string& function, Steps steps)
{
    return ResultOfSteps(function, 1, [&] {
               steps();
               return 0;
           }) == 0;
}
