#include "platform/x11/X11Clipboard.h"

#include <X11/Xatom.h>
#include <poll.h>

#include <chrono>

#include "platform/x11/X11Connection.h"

bool ReadClipboardText(X11Connection* connection, Window requestor, UTL_String* text,
                       int timeoutMs) {
  text->Set("");
  if (!connection || connection->IsLost()) return false;
  Display* d = connection->Get();
  Atom clipboard = connection->Intern("CLIPBOARD");
  Atom utf8 = connection->Intern("UTF8_STRING");
  Atom property = connection->Intern("ORVANTA_CLIPBOARD");
  if (XGetSelectionOwner(d, clipboard) == None) return false;
  XConvertSelection(d, clipboard, utf8, property, requestor, CurrentTime);
  XFlush(d);

  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  XEvent e;
  while (!connection->IsLost()) {
    if (XCheckTypedWindowEvent(d, requestor, SelectionNotify, &e)) {
      if (e.xselection.property == None) return false;  // the owner has no text
      Atom type;
      int format;
      unsigned long count, after;
      unsigned char* data = nullptr;
      bool ok = XGetWindowProperty(d, requestor, property, 0, 1 << 20, True, AnyPropertyType, &type,
                                   &format, &count, &after, &data) == Success &&
                format == 8 && (type == utf8 || type == XA_STRING);
      if (ok) text->Set(count ? (const char*)data : "", (int)count);
      if (data) XFree(data);
      return ok && count > 0;
    }
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                    deadline - std::chrono::steady_clock::now())
                    .count();
    if (left <= 0) return false;
    pollfd p{ConnectionNumber(d), POLLIN, 0};
    poll(&p, 1, (int)(left < 20 ? left : 20));
    XSync(d, False);  // reads what arrived into the queue
  }
  return false;
}
