#pragma once

#include "tests/support/run_program.h"

#include <string>
#include <vector>

inline std::vector<std::string> Cli(std::vector<std::string> arguments)
{
    arguments.insert(arguments.begin(), KORVANTA_CLI);
    return arguments;
}
