#include "graphics/EditorResourceFolder.h"

#include "framework/UTL_Mutex.h"
#include "framework/UTL_String.h"

namespace {

// Entries may make instances on more than one thread.
UTL_Mutex gLock;
UTL_String gFolder;

}  // namespace

void SetEditorResourceFolder(const char* folder) {
  UTL_MutexLock lock(&gLock);
  gFolder.Set(folder);
}

void GetEditorResourceFolder(UTL_String* folder) {
  UTL_MutexLock lock(&gLock);
  folder->Set(gFolder.Get());
}
