#pragma once
// Message box buttons and answers. Types and answers use the codes callers of the
// engine's ShowMessageBox compare against: 1 OK/Cancel, 3 Yes/No/Cancel, 4 Yes/No,
// anything else OK alone; answers 1 OK or Yes, 2 Cancel, 7 No, 0 none.

namespace viewrules {

enum class MessageBoxButton { kDefault, kAlternate, kOther };

struct MessageBoxLabels {
  const char* defaultLabel;    // never null
  const char* alternateLabel;  // null: no such button
  const char* otherLabel;      // null: no such button
};

MessageBoxLabels MessageBoxButtons(int type);

// The answer for the pressed button of a box of the given type. A box closed without
// a button answers 0.
int MessageBoxAnswer(int type, MessageBoxButton pressed);

}  // namespace viewrules
