#pragma once

#include <stdexcept>

// A failed step, carrying the ASCII message the log shows for it. Raised
// inside a function and caught at that function's own end; never crosses a
// function boundary.
class Failure : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};
