// Numbers: integers held as SInt64, floating-point numbers as double.

#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "CFRuntime.h"

struct __CFNumber : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeNumber;
  CFTypeID TypeID() const override { return kTypeID; }
  bool Equals(const CFRuntimeObject& other) const override {
    const auto& o = static_cast<const __CFNumber&>(other);
    if (!mIsFloat && !o.mIsFloat) return mInt == o.mInt;
    return AsDouble() == o.AsDouble();
  }
  CFHashCode Hash() const override {
    double d = AsDouble();
    if (d == std::floor(d) && std::fabs(d) < 9.2e18) return static_cast<CFHashCode>(SInt64(d));
    CFHashCode h;
    memcpy(&h, &d, sizeof(h));
    return h;
  }
  std::string Describe() const override {
    char text[64];
    if (mIsFloat)
      snprintf(text, sizeof(text), "%.17g", mDouble);
    else
      snprintf(text, sizeof(text), "%lld", static_cast<long long>(mInt));
    return text;
  }
  double AsDouble() const { return mIsFloat ? mDouble : static_cast<double>(mInt); }

  CFNumberType mType = kCFNumberSInt64Type;
  bool mIsFloat = false;
  SInt64 mInt = 0;
  double mDouble = 0;
};

namespace {

// Byte size and floatness of each number type; size 0 for an invalid type.
struct TypeInfo {
  int size;
  bool isFloat;
};

TypeInfo Info(CFNumberType type) {
  switch (type) {
    case kCFNumberSInt8Type:
    case kCFNumberCharType:
      return {1, false};
    case kCFNumberSInt16Type:
    case kCFNumberShortType:
      return {2, false};
    case kCFNumberSInt32Type:
    case kCFNumberIntType:
      return {4, false};
    case kCFNumberSInt64Type:
    case kCFNumberLongType:
    case kCFNumberLongLongType:
    case kCFNumberCFIndexType:
    case kCFNumberNSIntegerType:
      return {8, false};
    case kCFNumberFloat32Type:
    case kCFNumberFloatType:
      return {4, true};
    case kCFNumberFloat64Type:
    case kCFNumberDoubleType:
    case kCFNumberCGFloatType:
      return {8, true};
    default:
      return {0, false};
  }
}

template <typename T>
bool StoreInt(SInt64 v, void* out) {
  T t = static_cast<T>(v);
  memcpy(out, &t, sizeof(T));
  return static_cast<SInt64>(t) == v;
}

}  // namespace

CFTypeID CFNumberGetTypeID(void) { return kCFRuntimeNumber; }

CFNumberRef CFNumberCreate(CFAllocatorRef allocator, CFNumberType theType, const void* valuePtr) {
  TypeInfo info = Info(theType);
  if (!valuePtr || info.size == 0) return nullptr;
  auto* n = new __CFNumber;
  n->mAllocator = allocator;
  n->mType = theType;
  n->mIsFloat = info.isFloat;
  switch (info.size * (info.isFloat ? -1 : 1)) {
    case 1:
      n->mInt = *static_cast<const SInt8*>(valuePtr);
      break;
    case 2: {
      SInt16 v;
      memcpy(&v, valuePtr, 2);
      n->mInt = v;
      break;
    }
    case 4: {
      SInt32 v;
      memcpy(&v, valuePtr, 4);
      n->mInt = v;
      break;
    }
    case 8:
      memcpy(&n->mInt, valuePtr, 8);
      break;
    case -4: {
      Float32 v;
      memcpy(&v, valuePtr, 4);
      n->mDouble = v;
      break;
    }
    case -8:
      memcpy(&n->mDouble, valuePtr, 8);
      break;
  }
  return n;
}

CFNumberType CFNumberGetType(CFNumberRef number) {
  const __CFNumber* n = CFCast<__CFNumber>(number);
  return n ? n->mType : 0;
}

CFIndex CFNumberGetByteSize(CFNumberRef number) {
  const __CFNumber* n = CFCast<__CFNumber>(number);
  return n ? Info(n->mType).size : 0;
}

Boolean CFNumberIsFloatType(CFNumberRef number) {
  const __CFNumber* n = CFCast<__CFNumber>(number);
  return n && n->mIsFloat;
}

Boolean CFNumberGetValue(CFNumberRef number, CFNumberType theType, void* valuePtr) {
  const __CFNumber* n = CFCast<__CFNumber>(number);
  TypeInfo info = Info(theType);
  if (!n || !valuePtr || info.size == 0) return false;
  if (info.isFloat) {
    double d = n->AsDouble();
    if (info.size == 4) {
      Float32 f = static_cast<Float32>(d);
      memcpy(valuePtr, &f, 4);
      return n->mIsFloat ? (std::isnan(d) || static_cast<double>(f) == d || std::isinf(d))
                         : static_cast<double>(f) == d;
    }
    memcpy(valuePtr, &d, 8);
    return n->mIsFloat || static_cast<SInt64>(d) == n->mInt;
  }
  SInt64 v = n->mInt;
  bool exact = true;
  if (n->mIsFloat) {
    double d = n->mDouble;
    if (std::isnan(d)) {
      v = 0, exact = false;
    } else if (d >= 9223372036854775807.0) {
      v = std::numeric_limits<SInt64>::max(), exact = false;
    } else if (d < -9223372036854775808.0) {
      v = std::numeric_limits<SInt64>::min(), exact = false;
    } else {
      v = static_cast<SInt64>(d);
      exact = static_cast<double>(v) == d;
    }
  }
  switch (info.size) {
    case 1:
      exact = StoreInt<SInt8>(v, valuePtr) && exact;
      break;
    case 2:
      exact = StoreInt<SInt16>(v, valuePtr) && exact;
      break;
    case 4:
      exact = StoreInt<SInt32>(v, valuePtr) && exact;
      break;
    default:
      memcpy(valuePtr, &v, 8);
      break;
  }
  return exact;
}

CFComparisonResult CFNumberCompare(CFNumberRef number, CFNumberRef otherNumber, void*) {
  const __CFNumber* a = CFCast<__CFNumber>(number);
  const __CFNumber* b = CFCast<__CFNumber>(otherNumber);
  if (!a || !b) return a ? kCFCompareGreaterThan : (b ? kCFCompareLessThan : kCFCompareEqualTo);
  if (!a->mIsFloat && !b->mIsFloat)
    return a->mInt < b->mInt ? kCFCompareLessThan
                             : (a->mInt > b->mInt ? kCFCompareGreaterThan : kCFCompareEqualTo);
  double x = a->AsDouble(), y = b->AsDouble();
  return x < y ? kCFCompareLessThan : (x > y ? kCFCompareGreaterThan : kCFCompareEqualTo);
}
