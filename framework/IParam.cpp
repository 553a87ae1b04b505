#include "framework/IParam.h"

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// Fixed text fields are cut, never refused, so an initialiser always completes.
void CopyField(char* dest, const char* src) {
  size_t n = src ? strnlen(src, IParam::kMaxTextLength - 1) : 0;
  if (n) memcpy(dest, src, n);
  dest[n] = '\0';
}

// Truncation toward zero that cannot overflow an int.
int TruncateToInt(double v) {
  if (std::isnan(v)) return 0;
  if (v >= (double)INT_MAX) return INT_MAX;
  if (v <= (double)INT_MIN) return INT_MIN;
  return (int)v;
}
}  // namespace

void IParam::InitCommon(EParamType type, const char* name, const char* label, const char* group) {
  if (mType == kTypeNone) mType = type;
  CopyField(mName, name);
  CopyField(mLabel, label);
  CopyField(mParamGroup, group);
}

void IParam::InitBool(const char* name, bool defaultVal, const char* label, const char* group) {
  InitCommon(kTypeBool, name, label, group);
  Store(defaultVal ? 1.0 : 0.0);
  mMin = 0.0;
  mMax = 1.0;
  mStep = 1.0;
  mShape = 1.0;
  mDefault = Value();
  mDisplayPrecision = 0;
  SetDisplayText(0, "off");
  SetDisplayText(1, "on");
}

void IParam::InitEnum(const char* name, int defaultVal, int nEnums, const char* label,
                      const char* group) {
  InitCommon(kTypeEnum, name, label, group);
  Store(defaultVal);
  mMin = 0.0;
  mMax = nEnums - 1 > 1 ? nEnums - 1 : 1;
  mStep = 1.0;
  mShape = 1.0;
  mDefault = Value();
  mDisplayPrecision = 0;
}

void IParam::InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label,
                     const char* group) {
  InitCommon(kTypeInt, name, label, group);
  Store(defaultVal);
  mMin = minVal;
  mMax = (double)maxVal > (double)minVal + 1.0 ? (double)maxVal : (double)minVal + 1.0;
  mStep = 1.0;
  mShape = 1.0;
  mDefault = Value();
  mDisplayPrecision = 0;
}

void IParam::InitDouble(const char* name, double defaultVal, double minVal, double maxVal,
                        double step, const char* label, const char* group, double shape) {
  InitCommon(kTypeDouble, name, label, group);
  Store(defaultVal);
  mMin = minVal;
  mMax = maxVal > minVal + step ? maxVal : minVal + step;
  mStep = step;
  mDefault = Value();
  SetShape(shape);

  // Digits after the point: how many times the step must be scaled by 10 to be whole.
  mDisplayPrecision = 0;
  if (std::floor(step) != step) {
    mDisplayPrecision = 6;
    double x = step;
    for (int i = 1; i <= 5; ++i) {
      x *= 10.0;
      if (std::floor(x) == x) {
        mDisplayPrecision = i;
        break;
      }
    }
  }
}

void IParam::Set(double value) {
  if (std::isnan(value)) return;
  Store(value < mMin ? mMin : (value < mMax ? value : mMax));
}

void IParam::SetDisplayText(int value, const char* text) {
  DisplayText record;
  record.mValue = value;
  CopyField(record.mText, text);
  mDisplayTexts.Add(record);
}

void IParam::SetShape(double shape) {
  if (shape != 0.0) mShape = shape;
}

int IParam::Int() const { return TruncateToInt(Value()); }

double IParam::DBToAmp() const { return std::exp(Value() * 0.1151292546497); }

void IParam::SetNormalized(double normalizedValue) {
  if (std::isnan(normalizedValue)) return;
  double value = GetNonNormalized(normalizedValue);
  if (mType != kTypeDouble) value = std::floor(value / mStep + 0.5) * mStep;
  if (std::isnan(value)) return;
  Store(value < mMax ? value : mMax);
}

double IParam::GetNormalized() const { return GetNormalized(Value()); }

double IParam::GetNormalized(double nonNormalizedValue) const {
  double range = mMax - mMin;
  // An empty range has no position inside it; also keeps a NaN off the host.
  if (!(range > 0.0) || std::isnan(nonNormalizedValue)) return 0.0;
  double v =
      nonNormalizedValue < mMin ? mMin : (nonNormalizedValue < mMax ? nonNormalizedValue : mMax);
  return std::pow((v - mMin) / range, 1.0 / mShape);
}

double IParam::GetNonNormalized(double normalizedValue) const {
  return mMin + (mMax - mMin) * std::pow(normalizedValue, mShape);
}

void IParam::GetBounds(double* pLo, double* pHi) const {
  if (pLo) *pLo = mMin;
  if (pHi) *pHi = mMax;
}

void IParam::GetDisplayForHost(double value, bool normalized, char* out,
                               bool withDisplayText) const {
  if (!out) return;
  if (normalized) value = GetNonNormalized(value);

  // A switch reads as on from 0.5, as Bool() does, so that the host shows what is heard.
  const int whole = mType == kTypeBool ? (value >= 0.5 ? 1 : 0) : TruncateToInt(value);
  if (withDisplayText) {
    const char* text = GetDisplayText(whole);
    if (text[0]) {
      snprintf(out, kDisplayTextSize, "%s", text);
      return;
    }
  }

  if (mNegateDisplay) value = -value;
  if (mDisplayPrecision > 0) {
    snprintf(out, kDisplayTextSize, "%.*f", mDisplayPrecision, value);
  } else {
    snprintf(out, kDisplayTextSize, "%d", mType == kTypeBool ? whole : TruncateToInt(value));
  }
}

const char* IParam::GetLabelForHost() const {
  const char* text = GetDisplayText(Int());
  return text[0] ? "" : mLabel;
}

const char* IParam::GetDisplayText(int value) const {
  const DisplayText* records = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i)
    if (records[i].mValue == value) return records[i].mText;
  return "";
}

const char* IParam::GetDisplayTextAtIdx(int idx, int* pValue) const {
  // Out-of-range indices answer "" rather than reading past the records.
  if (idx < 0 || idx >= mDisplayTexts.GetSize()) return "";
  const DisplayText& record = mDisplayTexts.Get()[idx];
  if (pValue) *pValue = record.mValue;
  return record.mText;
}

bool IParam::MapDisplayText(const char* text, int* pValue) const {
  if (!text) return false;
  const DisplayText* records = mDisplayTexts.Get();
  for (int i = 0; i < mDisplayTexts.GetSize(); ++i) {
    if (strcmp(records[i].mText, text) == 0) {
      if (pValue) *pValue = records[i].mValue;
      return true;
    }
  }
  return false;
}
