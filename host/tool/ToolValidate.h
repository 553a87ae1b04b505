#pragma once
// The acceptance run hosts make of a component before they trust it, printed one line per
// check with a summary.

#include <string>

// True when every check passes.
bool ValidateComponent(const std::string& bundlePath);
