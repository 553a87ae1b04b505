#include "platform/x11/EntryFormatter.h"

#include <climits>
#include <cstring>

namespace viewrules {

const char* EntryCharacters(int paramType) {
  switch (paramType) {
    case 1:  // bool
    case 2:  // int
    case 3:  // enum
      return "0123456789-+";
    case 4:  // double
      return "0123456789.-+";
    default:
      return nullptr;
  }
}

int CharacterCount(const char* text) {
  int n = 0;
  for (const char* p = text; p && *p; ++p) {
    if (((unsigned char)*p & 0xC0) != 0x80) ++n;
  }
  return n;
}

long long LeadingInteger(const char* text) {
  if (!text) return 0;
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  long long value = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    int digit = *p - '0';
    if (value > (LLONG_MAX - digit) / 10) {
      value = LLONG_MAX;
      break;
    }
    value = value * 10 + digit;
  }
  return negative ? -value : value;
}

bool EntryFormatter::IsValid(const char* text) const {
  if (!text) return true;
  if (mAllowed) {
    for (const char* p = text; *p; ++p) {
      if (!std::strchr(mAllowed, *p)) return false;
    }
  }
  if (mMaxLength > 0 && CharacterCount(text) > mMaxLength) return false;
  if (mMaxValue > 0 && LeadingInteger(text) > mMaxValue) return false;
  return true;
}

}  // namespace viewrules
