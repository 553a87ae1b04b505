#pragma once
// One automatable parameter: a typed value in real units with a range, a step, a shape
// curve to and from the normalised range 0..1, a default and its display texts.
//
// The value is a lock-free atomic: any thread, the audio thread included, may read it with
// Value() (and what derives from it) while another sets it. The rest is fixed by the
// initialisers while the plug-in is built.

#include <atomic>

#include "framework/UTL_TypedBuf.h"

class IParam {
 public:
  enum EParamType { kTypeNone = 0, kTypeBool = 1, kTypeInt = 2, kTypeEnum = 3, kTypeDouble = 4 };

  // Capacity of the name, label, group and display-text fields, terminator included.
  // Longer texts are cut to kMaxTextLength - 1 characters.
  static constexpr int kMaxTextLength = 32;
  // GetDisplayForHost writes at most this many bytes, terminator included.
  static constexpr int kDisplayTextSize = 128;

  struct DisplayText {
    int mValue;
    char mText[kMaxTextLength];
  };

  IParam() = default;
  IParam(const IParam&) = delete;
  IParam& operator=(const IParam&) = delete;

  // The first initialiser called fixes the type; later ones change only the values.
  void InitBool(const char* name, bool defaultVal, const char* label = "", const char* group = "");
  void InitEnum(const char* name, int defaultVal, int nEnums, const char* label = "",
                const char* group = "");
  void InitInt(const char* name, int defaultVal, int minVal, int maxVal, const char* label = "",
               const char* group = "");
  // A shape of 0 keeps the current shape.
  void InitDouble(const char* name, double defaultVal, double minVal, double maxVal, double step,
                  const char* label = "", const char* group = "", double shape = 1.0);

  // Stores value clamped to [min, max]; a NaN leaves the value unchanged.
  void Set(double value);
  void SetDisplayText(int value, const char* text);
  // A shape of 0 is ignored.
  void SetShape(double shape);

  // value = min + (max - min) * n^shape, step-rounded unless double; cut at max only.
  void SetNormalized(double normalizedValue);
  double GetNormalized() const;
  double GetNormalized(double nonNormalizedValue) const;
  double GetNonNormalized(double normalizedValue) const;

  EParamType Type() const { return mType; }
  // [any]
  double Value() const { return mValue.load(std::memory_order_relaxed); }
  bool Bool() const { return Value() >= 0.5; }
  int Int() const;
  double DBToAmp() const;
  double GetDefault() const { return mDefault; }
  double GetMin() const { return mMin; }
  double GetMax() const { return mMax; }
  void GetBounds(double* pLo, double* pHi) const;
  double GetStep() const { return mStep; }
  double GetShape() const { return mShape; }
  int GetPrecision() const { return mDisplayPrecision; }
  bool GetNegateDisplay() const { return mNegateDisplay; }
  bool GetCanAutomate() const { return mCanAutomate; }
  bool GetIsMeta() const { return mIsMeta; }

  // Writes the display text of value into out (kDisplayTextSize bytes).
  void GetDisplayForHost(double value, bool normalized, char* out,
                         bool withDisplayText = true) const;
  void GetDisplayForHost(char* out, bool withDisplayText = true) const {
    GetDisplayForHost(Value(), false, out, withDisplayText);
  }
  const char* GetNameForHost() const { return mName; }
  const char* GetLabelForHost() const;
  const char* GetParamGroupForHost() const { return mParamGroup; }

  int GetNDisplayTexts() const { return mDisplayTexts.GetSize(); }
  // Text of the first record for value, or "".
  const char* GetDisplayText(int value) const;
  // Text and value of record idx; "" with *pValue untouched when idx is out of range.
  // pValue may be null.
  const char* GetDisplayTextAtIdx(int idx, int* pValue = nullptr) const;
  bool MapDisplayText(const char* text, int* pValue) const;

 private:
  void InitCommon(EParamType type, const char* name, const char* label, const char* group);
  // Relaxed: the value is one word and publishes nothing else; whoever derives state from it
  // reads it anew.
  void Store(double value) { mValue.store(value, std::memory_order_relaxed); }

  EParamType mType = kTypeNone;
  std::atomic<double> mValue = 0.0;
  static_assert(std::atomic<double>::is_always_lock_free);
  double mMin = 0.0;
  double mMax = 1.0;
  double mStep = 1.0;
  double mShape = 1.0;
  double mDefault = 0.0;
  int mDisplayPrecision = 0;
  char mName[kMaxTextLength] = "";
  char mLabel[kMaxTextLength] = "";
  char mParamGroup[kMaxTextLength] = "";
  bool mNegateDisplay = false;
  bool mCanAutomate = true;
  bool mIsMeta = false;
  UTL_TypedBuf<DisplayText> mDisplayTexts;
};
