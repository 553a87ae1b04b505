#pragma once
// Rules of the in-window text entry that types a control's value: which characters a
// parameter accepts, and whether an edited text may stand.

namespace viewrules {

// Characters a parameter of the given type (the framework's EParamType: 0 none, 1 bool,
// 2 int, 3 enum, 4 double) accepts; null means any character.
const char* EntryCharacters(int paramType);

class EntryFormatter {
 public:
  // allowed: the accepted characters, or null for any. maxLength and maxValue: 0 for no
  // limit.
  EntryFormatter(const char* allowed, int maxLength, int maxValue)
      : mAllowed(allowed), mMaxLength(maxLength), mMaxValue(maxValue) {}

  // An edit is refused when a character is not accepted, when the text is longer than
  // maxLength characters, or when its integer value exceeds maxValue.
  bool IsValid(const char* text) const;

  // The entry's length limit in characters (0: none).
  int MaxLength() const { return mMaxLength; }

 private:
  const char* mAllowed;
  int mMaxLength;
  int mMaxValue;
};

// Characters (UTF-8 code points) in text.
int CharacterCount(const char* text);

// The leading integer of a text, as a number field reads it: optional blanks and sign,
// then digits; 0 when there are none. Saturates instead of overflowing.
long long LeadingInteger(const char* text);

}  // namespace viewrules
