#include "PropertyListCheck.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace PropertyListCheck {
namespace {

// What one parsed object costs libplist beside its payload (node, data record, allocations).
constexpr uint64_t kNodeCost = 64;

uint64_t BigEndian(const uint8_t* p, unsigned size) {
  uint64_t v = 0;
  for (unsigned i = 0; i < size; ++i) v = v << 8 | p[i];
  return v;
}

// The binary format: "bplist00", the objects, a table of their offsets and a 32-byte trailer.
// Every object is visited once; what libplist would build from it (it copies an object for each
// reference) is summed, so that a few shared objects cannot expand without bound.
class BinaryWalk {
 public:
  BinaryWalk(const uint8_t* bytes, size_t length) : mBytes(bytes), mLength(length) {}

  std::string Run() {
    if (mLength < 8 + 1 + 32) return "binary list too short";
    const uint8_t* trailer = mBytes + mLength - 32;
    mOffsetSize = trailer[6];
    mRefSize = trailer[7];
    const uint64_t count = BigEndian(trailer + 8, 8);
    const uint64_t top = BigEndian(trailer + 16, 8);
    mTable = BigEndian(trailer + 24, 8);
    if (mOffsetSize < 1 || mOffsetSize > 8 || mRefSize < 1 || mRefSize > 8)
      return "binary list with invalid offset or reference sizes";
    const uint64_t tableRoom = mLength - 32;
    if (mTable < 8 || mTable > tableRoom || count == 0 ||
        count > (tableRoom - mTable) / mOffsetSize || top >= count)
      return "binary list with an invalid offset table";
    mCount = count;
    mState.assign(count, kUnseen);
    mHeight.assign(count, 0);
    mCost.assign(count, 0);
    mLimit = (uint64_t{1} << 25) + 64 * uint64_t{mLength};
    if (!Visit(top, 0)) return mWhy;
    if (mCost[top] > mLimit) return "binary list that expands beyond what it can hold";
    return {};
  }

 private:
  enum State : uint8_t { kUnseen, kOnPath, kDone };

  bool Fail(const char* why) {
    mWhy = why;
    return false;
  }

  uint64_t OffsetOf(uint64_t index) const {
    return BigEndian(mBytes + mTable + index * mOffsetSize, mOffsetSize);
  }

  // Reads the element count of data, strings and containers; `at` moves past it.
  bool Count(uint8_t marker, uint64_t& at, uint64_t& count) {
    count = marker & 0x0F;
    if (count != 0x0F) return true;
    if (at >= mTable) return Fail("binary list with a truncated length");
    const uint8_t sizeMarker = mBytes[at];
    const unsigned size = 1u << (sizeMarker & 0x0F);
    if ((sizeMarker >> 4) != 0x1 || size > 8 || size > mTable - at - 1)
      return Fail("binary list with an invalid length");
    count = BigEndian(mBytes + at + 1, size);
    at += 1 + size;
    return true;
  }

  // Dictionary keys become C strings inside libplist: only strings without NUL characters.
  bool CheckKey(uint64_t index) {
    uint64_t at = OffsetOf(index);
    if (at < 8 || at >= mTable) return Fail("binary list with an object outside its data");
    const uint8_t marker = mBytes[at++];
    const int type = marker >> 4;
    if (type != 0x5 && type != 0x6) return Fail("dictionary key that is not a string");
    uint64_t count = 0;
    if (!Count(marker, at, count)) return false;
    const uint64_t unit = type == 0x6 ? 2 : 1;
    if (count > (mTable - at) / unit) return Fail("binary list with a string past its data");
    for (uint64_t i = 0; i < count; ++i) {
      const uint8_t* c = mBytes + at + i * unit;
      if (c[0] == 0 && (unit == 1 || c[1] == 0)) return Fail("key with an embedded NUL");
    }
    return true;
  }

  bool Visit(uint64_t index, int depth) {
    if (mState[index] == kDone) return true;
    if (mState[index] == kOnPath) return Fail("binary list with an object that holds itself");
    if (depth > kMaxDepth) return Fail("nesting too deep");
    uint64_t at = OffsetOf(index);
    if (at < 8 || at >= mTable) return Fail("binary list with an object outside its data");
    const uint8_t marker = mBytes[at++];
    uint64_t payload = 0, children = 0;
    switch (marker >> 4) {
      case 0x0:
        if (marker != 0x08 && marker != 0x09) return Fail("binary list with an unknown object");
        break;
      case 0x1:
        payload = uint64_t{1} << (marker & 0x0F);
        if ((marker & 0x0F) > 4) return Fail("integer wider than 128 bits");
        break;
      case 0x2:
        if (marker != 0x22 && marker != 0x23) return Fail("real number of an invalid size");
        payload = uint64_t{1} << (marker & 0x0F);
        break;
      case 0x3:
        if (marker != 0x33) return Fail("date of an invalid size");
        payload = 8;
        break;
      case 0x8:
        payload = (marker & 0x0F) + 1u;
        break;
      case 0x4:
      case 0x5:
      case 0x6: {
        if (!Count(marker, at, payload)) return false;
        if ((marker >> 4) == 0x6) {
          if (payload > (mTable - at) / 2) return Fail("binary list with a string past its data");
          payload *= 2;
        }
        break;
      }
      case 0xA:
      case 0xC:
      case 0xD: {
        if (!Count(marker, at, children)) return false;
        const uint64_t refs = (marker >> 4) == 0xD ? 2 : 1;
        if (children > (mTable - at) / mRefSize / refs)
          return Fail("binary list with a container past its data");
        children *= refs;
        break;
      }
      default:
        return Fail("binary list with an unknown object");
    }
    if (payload > mTable - at) return Fail("binary list with an object past its data");

    mState[index] = kOnPath;
    uint64_t cost = kNodeCost + payload;
    int height = 0;
    const uint64_t keys = (marker >> 4) == 0xD ? children / 2 : 0;
    for (uint64_t i = 0; i < children; ++i) {
      const uint64_t child = BigEndian(mBytes + at + i * mRefSize, mRefSize);
      if (child >= mCount) return Fail("binary list with a reference to no object");
      if (i < keys && !CheckKey(child)) return false;
      if (!Visit(child, depth + 1)) return false;
      height = std::max(height, mHeight[child] + 1);
      cost = std::min(cost + mCost[child], mLimit + 1);
    }
    mState[index] = kDone;
    mHeight[index] = height;
    mCost[index] = cost;
    if (height > kMaxDepth) return Fail("nesting too deep");
    return true;
  }

  const uint8_t* mBytes;
  const size_t mLength;
  unsigned mOffsetSize = 0, mRefSize = 0;
  uint64_t mTable = 0, mCount = 0, mLimit = 0;
  std::vector<State> mState;
  std::vector<int> mHeight;
  std::vector<uint64_t> mCost;
  std::string mWhy;
};

// Finds `token` at or after `from`; the length when it is missing.
size_t Find(const uint8_t* bytes, size_t length, size_t from, const char* token) {
  const size_t n = std::strlen(token);
  const auto* end = bytes + length;
  const auto* hit = std::search(bytes + std::min(from, length), end, token, token + n);
  return hit == end ? length : static_cast<size_t>(hit - bytes);
}

bool StartsWith(const uint8_t* bytes, size_t length, size_t at, const char* token) {
  const size_t n = std::strlen(token);
  return at <= length && n <= length - at && std::memcmp(bytes + at, token, n) == 0;
}

bool IsSpace(uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// libplist reads an integer with strtoull in any base and no range check: "-1e99" would be -1,
// "131073abc" 131073, 2^64 -1, "010" 8 and an empty element 0. Only what the Mac reads the same
// way passes: a sign, then decimal digits without a leading zero or 0x and hexadecimal digits,
// within the range of a 64-bit signed integer.
std::string IntegerProblem(const uint8_t* text, size_t length) {
  const uint8_t* end = text + length;
  while (text < end && IsSpace(*text)) ++text;
  while (end > text && IsSpace(end[-1])) --end;
  const std::string shown(text, std::min(end, text + 40));
  if (text == end) return "empty integer";
  const bool negative = *text == '-';
  if (*text == '-' || *text == '+') ++text;
  unsigned base = 10;
  if (end - text > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text += 2;
  }
  if (text == end || (base == 10 && *text == '0' && end - text > 1))
    return "malformed integer \"" + shown + "\"";
  // The magnitude may reach 2^63 when negative, 2^63 - 1 otherwise.
  const uint64_t limit = uint64_t{INT64_MAX} + (negative ? 1 : 0);
  uint64_t value = 0;
  for (; text < end; ++text) {
    const uint8_t c = *text;
    unsigned digit = 16;
    if (c >= '0' && c <= '9') digit = c - '0';
    if (base == 16 && (c | 0x20) >= 'a' && (c | 0x20) <= 'f') digit = (c | 0x20) - 'a' + 10;
    if (digit >= base) return "malformed integer \"" + shown + "\"";
    if (value > (limit - digit) / base) return "integer out of range \"" + shown + "\"";
    value = value * base + digit;
  }
  return {};
}

// The element's name at `at` ("<name" up to a space, '>' or '/') is `name`.
bool IsElement(const uint8_t* bytes, size_t length, size_t at, const char* name) {
  const size_t n = std::strlen(name);
  if (!StartsWith(bytes, length, at + 1, name) || at + 1 + n >= length) return false;
  const uint8_t next = bytes[at + 1 + n];
  return next == '>' || next == '/' || IsSpace(next);
}

}  // namespace

std::string Binary(const uint8_t* bytes, size_t length) { return BinaryWalk(bytes, length).Run(); }

// libplist's XML reader recurses once per element level, so the nesting is measured on the bare
// text first. The count errs towards too deep wherever a reader could see the text otherwise: a
// '<' inside a comment, CDATA section or processing instruction counts as an opened element, and
// markup a reader could end elsewhere (angle brackets in quoted values or declarations) is refused.
std::string Xml(const uint8_t* bytes, size_t length) {
  if (std::memchr(bytes, 0, length)) return "XML with a NUL byte";
  int depth = 0;
  size_t at = Find(bytes, length, 0, "<");
  while (at < length) {
    size_t end = length;
    if (StartsWith(bytes, length, at, "<!--") || StartsWith(bytes, length, at, "<![CDATA[") ||
        StartsWith(bytes, length, at, "<?")) {
      const char* close = bytes[at + 1] == '?' ? "?>" : bytes[at + 2] == '-' ? "-->" : "]]>";
      end = Find(bytes, length, at + 2, close);
      depth += static_cast<int>(std::count(bytes + at + 1, bytes + end, '<'));
    } else if (bytes[at + 1 < length ? at + 1 : at] == '!') {
      end = Find(bytes, length, at, ">");
      if (std::find_if(bytes + at + 1, bytes + end,
                       [](uint8_t c) { return c == '<' || c == '['; }) != bytes + end)
        return "XML declaration with markup inside";
    } else {
      char quote = 0;
      bool attributes = false;
      for (end = at + 1; end < length && (quote || bytes[end] != '>'); ++end) {
        const uint8_t c = bytes[end];
        if (c == '<' || (quote && c == '>')) return "XML tag with an angle bracket inside";
        if (quote && c == quote) {
          quote = 0;
        } else if (!quote && (c == '"' || c == '\'' || c == '=')) {
          attributes = true;
          if (c != '=') quote = static_cast<char>(c);
        }
      }
      if (end < length && IsElement(bytes, length, at, "integer")) {
        // Its text must be one plain run: a reader joins the runs around comments and CDATA.
        const size_t close = Find(bytes, length, end, "<");
        if (bytes[end - 1] == '/') return "empty integer";
        const std::string wrong = IntegerProblem(bytes + end + 1, close - end - 1);
        if (!wrong.empty()) return wrong;
        if (close + 1 >= length || bytes[close + 1] != '/' ||
            !IsElement(bytes, length, close + 1, "integer"))
          return "malformed integer";
      }
      // Only a bare <name/> is surely empty to every reader; anything else may open a level.
      if (at + 1 < length && bytes[at + 1] == '/')
        depth = std::max(depth - 1, 0);
      else if (end == length || bytes[end - 1] != '/' || attributes)
        ++depth;
    }
    if (depth > kMaxDepth) return "nesting too deep";
    at = Find(bytes, length, end, "<");
  }
  return {};
}

}  // namespace PropertyListCheck
