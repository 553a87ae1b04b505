#include "platform/x11/UrlRules.h"

#include <cstring>

namespace viewrules {

bool IsWebAddress(const char* text) { return text && std::strstr(text, "http"); }

static void AppendEscapedPath(const char* path, UTL_String* out) {
  static const char kHex[] = "0123456789ABCDEF";
  for (const unsigned char* p = (const unsigned char*)path; *p; ++p) {
    bool plain = (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') || (*p >= '0' && *p <= '9') ||
                 std::strchr("/-._~!$&'()*+,;=:@", *p);
    if (plain) {
      char c[2] = {(char)*p, 0};
      out->Append(c);
    } else {
      char e[4] = {'%', kHex[*p >> 4], kHex[*p & 15], 0};
      out->Append(e);
    }
  }
}

bool OpenableAddress(const char* text, const char* currentDir, UTL_String* target) {
  target->Set("");
  if (!text || !*text) return false;
  if (IsWebAddress(text)) {
    target->Set(text);
    return true;
  }
  target->Set("file://");
  if (text[0] != '/') {
    if (!currentDir || currentDir[0] != '/') {
      target->Set("");
      return false;
    }
    AppendEscapedPath(currentDir, target);
    if (currentDir[std::strlen(currentDir) - 1] != '/') target->Append("/");
  }
  AppendEscapedPath(text, target);
  return true;
}

}  // namespace viewrules
