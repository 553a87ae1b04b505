#include "platform/x11/ResourceNames.h"

#include <strings.h>

#include <cstring>

namespace viewrules {

bool HasPngExtension(const char* fileName) {
  if (!fileName) return false;
  const char* dot = std::strrchr(fileName, '.');
  return dot && strcasecmp(dot + 1, "png") == 0;
}

void ResourceBaseName(const char* fileName, UTL_String* baseName) {
  baseName->Set("");
  if (!fileName) return;
  const char* slash = std::strrchr(fileName, '/');
  const char* start = slash ? slash + 1 : fileName;
  const char* dot = std::strrchr(start, '.');
  baseName->Set(start, dot ? (int)(dot - start) : 0);
  // Set with a length of 0 copies everything, so an empty stem needs clearing by hand.
  if (dot == start) baseName->Set("");
}

bool ResourcePath(const char* resourceDir, const char* fileName, UTL_String* path) {
  path->Set("");
  if (!resourceDir || !*resourceDir || !HasPngExtension(fileName)) return false;
  UTL_String base;
  ResourceBaseName(fileName, &base);
  if (base.GetLength() == 0) return false;
  path->Set(resourceDir);
  if (resourceDir[std::strlen(resourceDir) - 1] != '/') path->Append("/");
  path->Append(base.Get());
  path->Append(".png");
  return true;
}

}  // namespace viewrules
