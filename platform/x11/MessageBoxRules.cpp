#include "platform/x11/MessageBoxRules.h"

namespace viewrules {

MessageBoxLabels MessageBoxButtons(int type) {
  switch (type) {
    case 4:
      return {"Yes", "No", nullptr};
    case 3:
      return {"Yes", "No", "Cancel"};
    case 1:
      return {"OK", "Cancel", nullptr};
    default:
      return {"OK", nullptr, nullptr};
  }
}

int MessageBoxAnswer(int type, MessageBoxButton pressed) {
  switch (pressed) {
    case MessageBoxButton::kDefault:
      return 1;
    // In an OK/Cancel box the alternate button is Cancel, not No.
    case MessageBoxButton::kAlternate:
      return type == 1 ? 2 : 7;
    case MessageBoxButton::kOther:
      return 2;
  }
  return 0;
}

}  // namespace viewrules
