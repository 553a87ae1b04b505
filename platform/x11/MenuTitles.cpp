#include "platform/x11/MenuTitles.h"

namespace viewrules {

void MenuItemTitle(int prefix, int position, const char* text, UTL_String* title) {
  switch (prefix) {
    case 1:
      title->SetFormatted(32, "%1d: ", position);
      break;
    case 2:
      title->SetFormatted(32, "%02d: ", position);
      break;
    case 3:
      title->SetFormatted(32, "%03d: ", position);
      break;
    default:
      title->Set("");
      break;
  }
  title->Append(text ? text : "");
}

}  // namespace viewrules
