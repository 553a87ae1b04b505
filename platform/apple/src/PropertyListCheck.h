#pragma once
// Checks of property-list bytes before libplist parses them. libplist asserts (ending the
// process) on some malformed input, recurses once per nesting level and copies shared objects
// of binary lists once per reference, so hostile files must be refused before it sees them.

#include <cstddef>
#include <cstdint>
#include <string>

namespace PropertyListCheck {

// Containers nested deeper are refused: they arise only from self-containing trees or hostile
// files, and the parser's recursion must stay far from the end of the stack.
constexpr int kMaxDepth = 256;

// Each returns an empty text when the bytes may be handed to libplist, else what is wrong.
std::string Binary(const uint8_t* bytes, size_t length);
std::string Xml(const uint8_t* bytes, size_t length);

}  // namespace PropertyListCheck
