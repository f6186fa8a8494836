// The message of the FatalError an action raises, for tests of malformed input.
#pragma once

#include "base/error.h"

#include <string>

// "" when the action raises nothing.
template <typename Action>
std::string FatalMessage(Action action)
{
    try {
        action();
    } catch (const FatalError& error) {
        return error.what();
    }
    return "";
}
