// Strings, kept as UTF-8; lengths and indices count UTF-16 units as on the Mac.

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "CFRuntime.h"

struct __CFString : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeString;
  __CFString(CFAllocatorRef alloc, std::string text, bool isMutable)
      : CFRuntimeObject(alloc), mText(std::move(text)), mMutable(isMutable) {}
  CFTypeID TypeID() const override { return kTypeID; }
  bool Equals(const CFRuntimeObject& other) const override {
    return mText == static_cast<const __CFString&>(other).mText;
  }
  CFHashCode Hash() const override { return std::hash<std::string>()(mText); }
  std::string Describe() const override { return mText; }

  std::string mText;
  const bool mMutable;
};

namespace {

// Upper half of Mac OS Roman, 0x80-0xFF, as Unicode code points.
const char32_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, 0x00E0, 0x00E2, 0x00E4, 0x00E3,
    0x00E5, 0x00E7, 0x00E9, 0x00E8, 0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3,
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, 0x2020, 0x00B0, 0x00A2, 0x00A3,
    0x00A7, 0x2022, 0x00B6, 0x00DF, 0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8,
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, 0x220F, 0x03C0, 0x222B, 0x00AA,
    0x00BA, 0x03A9, 0x00E6, 0x00F8, 0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB,
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, 0x2013, 0x2014, 0x201C, 0x201D,
    0x2018, 0x2019, 0x00F7, 0x25CA, 0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02,
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, 0x00CB, 0x00C8, 0x00CD, 0x00CE,
    0x00CF, 0x00CC, 0x00D3, 0x00D4, 0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC,
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7};

void AppendUTF8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// Decodes UTF-8 into code points; false for malformed, overlong or surrogate sequences.
bool DecodeUTF8(const char* p, size_t n, std::u32string& out) {
  size_t i = 0;
  while (i < n) {
    unsigned char b = static_cast<unsigned char>(p[i]);
    int extra;
    char32_t c;
    if (b < 0x80) {
      c = b, extra = 0;
    } else if ((b & 0xE0) == 0xC0) {
      c = b & 0x1F, extra = 1;
    } else if ((b & 0xF0) == 0xE0) {
      c = b & 0x0F, extra = 2;
    } else if ((b & 0xF8) == 0xF0) {
      c = b & 0x07, extra = 3;
    } else {
      return false;
    }
    if (i + extra >= n) return false;
    for (int k = 1; k <= extra; ++k) {
      unsigned char cb = static_cast<unsigned char>(p[i + k]);
      if ((cb & 0xC0) != 0x80) return false;
      c = (c << 6) | (cb & 0x3F);
    }
    static const char32_t kMin[4] = {0, 0x80, 0x800, 0x10000};
    if (c < kMin[extra] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return false;
    out += c;
    i += extra + 1;
  }
  return true;
}

std::u16string ToUTF16(const std::string& utf8) {
  std::u32string cps;
  DecodeUTF8(utf8.data(), utf8.size(), cps);  // stored text is always valid
  std::u16string out;
  out.reserve(cps.size());
  for (char32_t c : cps) {
    if (c >= 0x10000) {
      c -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (c >> 10));
      out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
    } else {
      out += static_cast<char16_t>(c);
    }
  }
  return out;
}

// Unpaired surrogates become U+FFFD.
std::string FromUTF16(const char16_t* units, size_t n) {
  std::string out;
  for (size_t i = 0; i < n; ++i) {
    char32_t c = units[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n && units[i + 1] >= 0xDC00 &&
        units[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (units[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = 0xFFFD;
    }
    AppendUTF8(out, c);
  }
  return out;
}

bool IsLatin1Family(CFStringEncoding e) {
  return e == kCFStringEncodingISOLatin1 || e == kCFStringEncodingWindowsLatin1;
}

// Bytes in an 8-bit or UTF-8 encoding to UTF-8; false when they are not valid in it.
bool BytesToUTF8(const char* bytes, size_t n, CFStringEncoding encoding, std::string& out) {
  if (encoding == kCFStringEncodingUTF8) {
    std::u32string check;
    if (!DecodeUTF8(bytes, n, check)) return false;
    out.assign(bytes, n);
    return true;
  }
  if (encoding == kCFStringEncodingUTF16) {
    if (n % 2) return false;
    std::u16string units(n / 2, u'\0');
    memcpy(units.data(), bytes, n);
    out = FromUTF16(units.data(), units.size());
    return true;
  }
  const bool ascii = encoding == kCFStringEncodingASCII;
  const bool macRoman = encoding == kCFStringEncodingMacRoman;
  if (!ascii && !macRoman && !IsLatin1Family(encoding)) return false;
  out.clear();
  for (size_t i = 0; i < n; ++i) {
    unsigned char b = static_cast<unsigned char>(bytes[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
    } else if (ascii) {
      return false;
    } else {
      AppendUTF8(out, macRoman ? kMacRomanHigh[b - 0x80] : char32_t(b));
    }
  }
  return true;
}

// One code point in an 8-bit encoding; -1 when it has no representation there.
int EncodeByte(char32_t c, CFStringEncoding encoding) {
  if (c < 0x80) return static_cast<int>(c);
  if (encoding == kCFStringEncodingASCII) return -1;
  if (IsLatin1Family(encoding)) return c <= 0xFF ? static_cast<int>(c) : -1;
  for (int i = 0; i < 128; ++i)
    if (kMacRomanHigh[i] == c) return 0x80 + i;
  return -1;
}

// UTF-8 text into an encoding. A loss byte of 0 makes unrepresentable characters fail.
bool UTF8ToEncoding(const std::string& text, CFStringEncoding encoding, UInt8 lossByte,
                    std::string& out) {
  if (encoding == kCFStringEncodingUTF8) {
    out = text;
    return true;
  }
  if (encoding == kCFStringEncodingUTF16) {
    std::u16string units = ToUTF16(text);
    out.assign(reinterpret_cast<const char*>(units.data()), units.size() * 2);
    return true;
  }
  if (encoding != kCFStringEncodingASCII && encoding != kCFStringEncodingMacRoman &&
      !IsLatin1Family(encoding))
    return false;
  std::u32string cps;
  DecodeUTF8(text.data(), text.size(), cps);
  out.clear();
  for (char32_t c : cps) {
    int b = EncodeByte(c, encoding);
    if (b < 0) {
      if (!lossByte) return false;
      b = lossByte;
    }
    out += static_cast<char>(b);
  }
  return true;
}

__CFString* String(CFTypeRef s) { return CFCast<__CFString>(s); }
__CFString* MutableString(CFTypeRef s) { return CFMutableCast<__CFString>(s); }

// One printf conversion of a CF format: flags, width, precision, length and conversion.
struct FormatDirective {
  std::string text;  // "%-08.3ld" as written, without the conversion character
  std::string length;
  char conversion = 0;
};

// One printf conversion of any length (a width of 1000 or a long %s is not cut).
template <typename T>
std::string Printf(const std::string& directive, T value) {
  char small[128];
  int n = snprintf(small, sizeof(small), directive.c_str(), value);
  if (n < 0) return std::string();
  if (static_cast<size_t>(n) < sizeof(small)) return std::string(small, n);
  std::string big(static_cast<size_t>(n) + 1, '\0');
  snprintf(big.data(), big.size(), directive.c_str(), value);
  big.resize(n);
  return big;
}

std::string FormatWithArguments(const std::string& format, va_list args) {
  std::string out;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') {
      out += format[i];
      continue;
    }
    FormatDirective directive;
    directive.text = "%";
    size_t j = i + 1;
    while (j < format.size() && strchr("-+ #0'", format[j])) directive.text += format[j++];
    // Widths and precisions given as '*' come from the argument list.
    for (int part = 0; part < 2; ++part) {
      if (part == 1) {
        if (j >= format.size() || format[j] != '.') break;
        directive.text += format[j++];
      }
      if (j < format.size() && format[j] == '*') {
        directive.text += std::to_string(va_arg(args, int));
        ++j;
      } else {
        while (j < format.size() && isdigit(static_cast<unsigned char>(format[j])))
          directive.text += format[j++];
      }
    }
    while (j < format.size() && strchr("hlLqjzt", format[j])) directive.length += format[j++];
    if (j >= format.size()) {
      out += format.substr(i);
      break;
    }
    directive.conversion = format[j];
    i = j;
    const std::string& len = directive.length;
    const bool isLong = len == "l" || len == "z" || len == "t" || len == "j";
    const bool isLongLong = len == "ll" || len == "q";
    std::string cformat = directive.text;
    switch (directive.conversion) {
      case '%':
        out += '%';
        continue;
      case '@': {
        std::string d = CFDescribe(va_arg(args, CFTypeRef));
        out += Printf(directive.text + "s", d.c_str());
        continue;
      }
      case 'd':
      case 'i':
      case 'c':
        if (isLongLong) {
          cformat += "ll";
          out += Printf(cformat + directive.conversion, va_arg(args, long long));
        } else if (isLong) {
          cformat += "l";
          out += Printf(cformat + directive.conversion, va_arg(args, long));
        } else {
          out += Printf(cformat + directive.conversion, va_arg(args, int));
        }
        break;
      case 'u':
      case 'o':
      case 'x':
      case 'X':
        if (isLongLong) {
          cformat += "ll";
          out += Printf(cformat + directive.conversion, va_arg(args, unsigned long long));
        } else if (isLong) {
          cformat += "l";
          out += Printf(cformat + directive.conversion, va_arg(args, unsigned long));
        } else {
          out += Printf(cformat + directive.conversion, va_arg(args, unsigned));
        }
        break;
      case 'f':
      case 'F':
      case 'e':
      case 'E':
      case 'g':
      case 'G':
      case 'a':
      case 'A':
        if (len == "L") {
          out += Printf(cformat + "L" + directive.conversion, va_arg(args, long double));
        } else {
          out += Printf(cformat + directive.conversion, va_arg(args, double));
        }
        break;
      case 's': {
        const char* s = va_arg(args, const char*);
        std::string text = s ? s : "(null)";
        out += Printf(cformat + "s", text.c_str());
        continue;
      }
      case 'p':
        out += Printf(cformat + "p", va_arg(args, void*));
        break;
      case 'n':
        // Writing through a format argument is never honoured.
        (void)va_arg(args, void*);
        continue;
      default:
        out += directive.text + directive.length + directive.conversion;
        continue;
    }
  }
  return out;
}

}  // namespace

CFStringRef CFStringCreateFromUTF8(const std::string& text) {
  return new __CFString(nullptr, text, false);
}

const std::string& CFStringUTF8(CFStringRef s) {
  static const std::string empty;
  const __CFString* str = String(s);
  return str ? str->mText : empty;
}

namespace {

// The constant strings, one per text, in the library's own storage.
struct ConstantStrings {
  std::mutex mutex;
  std::unordered_map<std::string, __CFString*> table;
};

CFLibraryStorage<ConstantStrings> gConstantStrings;

ConstantStrings& Constants() {
  static ConstantStrings* constants = gConstantStrings.Construct();
  return *constants;
}

// The strings themselves are on the heap. They are freed as the library is unloaded (or, at
// exit, after every static destructor, those of its users included): a host that loads and
// unloads a plug-in again and again must not keep them. Nothing can reach them any more then.
__attribute__((destructor)) void FreeConstantStrings() {
  ConstantStrings& constants = Constants();
  std::lock_guard<std::mutex> lock(constants.mutex);
  for (auto& entry : constants.table) delete entry.second;
  std::unordered_map<std::string, __CFString*>().swap(constants.table);
}

}  // namespace

CFStringRef __CFStringMakeConstantString(const char* cStr) {
  if (!cStr) return nullptr;
  ConstantStrings& constants = Constants();
  std::lock_guard<std::mutex> lock(constants.mutex);
  __CFString*& entry = constants.table[cStr];
  if (!entry) {
    entry = new __CFString(nullptr, cStr, false);
    entry->mImmortal = true;
  }
  return entry;
}

CFTypeID CFStringGetTypeID(void) { return kCFRuntimeString; }

CFStringRef CFStringCreateWithCString(CFAllocatorRef alloc, const char* cStr,
                                      CFStringEncoding encoding) {
  if (!cStr) return nullptr;
  std::string text;
  if (!BytesToUTF8(cStr, strlen(cStr), encoding, text)) return nullptr;
  return new __CFString(alloc, std::move(text), false);
}

CFStringRef CFStringCreateWithBytes(CFAllocatorRef alloc, const UInt8* bytes, CFIndex numBytes,
                                    CFStringEncoding encoding, Boolean) {
  if (numBytes < 0 || (!bytes && numBytes > 0)) return nullptr;
  std::string text;
  if (!BytesToUTF8(reinterpret_cast<const char*>(bytes), static_cast<size_t>(numBytes), encoding,
                   text))
    return nullptr;
  return new __CFString(alloc, std::move(text), false);
}

CFStringRef CFStringCreateWithCharacters(CFAllocatorRef alloc, const UniChar* chars,
                                         CFIndex numChars) {
  if (numChars < 0 || (!chars && numChars > 0)) return nullptr;
  return new __CFString(
      alloc, FromUTF16(reinterpret_cast<const char16_t*>(chars), static_cast<size_t>(numChars)),
      false);
}

CFStringRef CFStringCreateCopy(CFAllocatorRef alloc, CFStringRef theString) {
  const __CFString* s = String(theString);
  if (!s) return nullptr;
  // An immutable string is its own copy.
  if (!s->mMutable) return static_cast<CFStringRef>(CFRetain(s));
  return new __CFString(alloc, s->mText, false);
}

CFStringRef CFStringCreateWithFormatAndArguments(CFAllocatorRef alloc, CFTypeRef,
                                                 CFStringRef format, va_list arguments) {
  const __CFString* f = String(format);
  if (!f) return nullptr;
  va_list copy;
  va_copy(copy, arguments);
  std::string text = FormatWithArguments(f->mText, copy);
  va_end(copy);
  return new __CFString(alloc, std::move(text), false);
}

CFStringRef CFStringCreateWithFormat(CFAllocatorRef alloc, CFTypeRef formatOptions,
                                     CFStringRef format, ...) {
  va_list args;
  va_start(args, format);
  CFStringRef s = CFStringCreateWithFormatAndArguments(alloc, formatOptions, format, args);
  va_end(args);
  return s;
}

CFMutableStringRef CFStringCreateMutable(CFAllocatorRef alloc, CFIndex) {
  return new __CFString(alloc, std::string(), true);
}

CFMutableStringRef CFStringCreateMutableCopy(CFAllocatorRef alloc, CFIndex, CFStringRef theString) {
  return new __CFString(alloc, CFStringUTF8(theString), true);
}

void CFStringAppend(CFMutableStringRef theString, CFStringRef appendedString) {
  __CFString* s = MutableString(theString);
  if (s) s->mText += CFStringUTF8(appendedString);
}

void CFStringAppendCString(CFMutableStringRef theString, const char* cStr,
                           CFStringEncoding encoding) {
  __CFString* s = MutableString(theString);
  std::string text;
  if (s && cStr && BytesToUTF8(cStr, strlen(cStr), encoding, text)) s->mText += text;
}

void CFStringAppendFormat(CFMutableStringRef theString, CFTypeRef, CFStringRef format, ...) {
  __CFString* s = MutableString(theString);
  const __CFString* f = String(format);
  if (!s || !f) return;
  va_list args;
  va_start(args, format);
  s->mText += FormatWithArguments(f->mText, args);
  va_end(args);
}

CFIndex CFStringGetLength(CFStringRef theString) {
  const __CFString* s = String(theString);
  if (!s) return 0;
  CFIndex units = 0;
  for (unsigned char b : s->mText) {
    if ((b & 0xC0) != 0x80) units += (b >= 0xF0) ? 2 : 1;  // 4-byte sequences are pairs
  }
  return units;
}

UniChar CFStringGetCharacterAtIndex(CFStringRef theString, CFIndex idx) {
  std::u16string units = ToUTF16(CFStringUTF8(theString));
  return idx >= 0 && static_cast<size_t>(idx) < units.size() ? units[idx] : 0;
}

void CFStringGetCharacters(CFStringRef theString, CFRange range, UniChar* buffer) {
  std::u16string units = ToUTF16(CFStringUTF8(theString));
  if (!buffer || range.location < 0 || range.length < 0 ||
      static_cast<size_t>(range.location + range.length) > units.size())
    return;
  memcpy(buffer, units.data() + range.location, range.length * sizeof(UniChar));
}

Boolean CFStringGetCString(CFStringRef theString, char* buffer, CFIndex bufferSize,
                           CFStringEncoding encoding) {
  if (!buffer || bufferSize <= 0) return false;
  buffer[0] = '\0';
  const __CFString* s = String(theString);
  std::string bytes;
  if (!s || encoding == kCFStringEncodingUTF16 || !UTF8ToEncoding(s->mText, encoding, 0, bytes))
    return false;
  if (static_cast<CFIndex>(bytes.size()) + 1 > bufferSize) return false;
  memcpy(buffer, bytes.c_str(), bytes.size() + 1);
  return true;
}

const char* CFStringGetCStringPtr(CFStringRef theString, CFStringEncoding encoding) {
  const __CFString* s = String(theString);
  if (!s || s->mMutable) return nullptr;
  if (encoding == kCFStringEncodingUTF8) return s->mText.c_str();
  if (encoding == kCFStringEncodingASCII || encoding == kCFStringEncodingMacRoman ||
      IsLatin1Family(encoding)) {
    for (unsigned char b : s->mText)
      if (b >= 0x80) return nullptr;
    return s->mText.c_str();
  }
  return nullptr;
}

CFIndex CFStringGetMaximumSizeForEncoding(CFIndex length, CFStringEncoding encoding) {
  if (length < 0) return kCFNotFound;
  if (encoding == kCFStringEncodingUTF8) return length * 3;
  if (encoding == kCFStringEncodingUTF16) return length * 2;
  return length;
}

CFIndex CFStringGetBytes(CFStringRef theString, CFRange range, CFStringEncoding encoding,
                         UInt8 lossByte, Boolean, UInt8* buffer, CFIndex maxBufLen,
                         CFIndex* usedBufLen) {
  if (usedBufLen) *usedBufLen = 0;
  std::u16string units = ToUTF16(CFStringUTF8(theString));
  if (range.location < 0 || range.length < 0 ||
      static_cast<size_t>(range.location + range.length) > units.size())
    return 0;
  // Convert character by character so that the count of converted characters is exact.
  CFIndex converted = 0;
  CFIndex used = 0;
  for (CFIndex i = range.location; i < range.location + range.length;) {
    CFIndex width = 1;
    if (units[i] >= 0xD800 && units[i] <= 0xDBFF && i + 1 < range.location + range.length)
      width = 2;
    std::string bytes;
    if (!UTF8ToEncoding(FromUTF16(units.data() + i, width), encoding, lossByte, bytes)) break;
    if (buffer) {
      if (used + static_cast<CFIndex>(bytes.size()) > maxBufLen) break;
      memcpy(buffer + used, bytes.data(), bytes.size());
    }
    used += static_cast<CFIndex>(bytes.size());
    converted += width;
    i += width;
  }
  if (usedBufLen) *usedBufLen = used;
  return converted;
}

CFComparisonResult CFStringCompare(CFStringRef theString1, CFStringRef theString2,
                                   CFStringCompareFlags compareOptions) {
  const std::string& a = CFStringUTF8(theString1);
  const std::string& b = CFStringUTF8(theString2);
  int r;
  if (compareOptions & kCFCompareCaseInsensitive) {
    r = strcasecmp(a.c_str(), b.c_str());
  } else {
    r = a.compare(b);
  }
  return r < 0 ? kCFCompareLessThan : (r > 0 ? kCFCompareGreaterThan : kCFCompareEqualTo);
}

Boolean CFStringHasPrefix(CFStringRef theString, CFStringRef prefix) {
  const std::string& s = CFStringUTF8(theString);
  const std::string& p = CFStringUTF8(prefix);
  return s.compare(0, p.size(), p) == 0;
}

Boolean CFStringHasSuffix(CFStringRef theString, CFStringRef suffix) {
  const std::string& s = CFStringUTF8(theString);
  const std::string& p = CFStringUTF8(suffix);
  return s.size() >= p.size() && s.compare(s.size() - p.size(), p.size(), p) == 0;
}

SInt32 CFStringGetIntValue(CFStringRef str) {
  return static_cast<SInt32>(strtol(CFStringUTF8(str).c_str(), nullptr, 10));
}

double CFStringGetDoubleValue(CFStringRef str) {
  return strtod(CFStringUTF8(str).c_str(), nullptr);
}
