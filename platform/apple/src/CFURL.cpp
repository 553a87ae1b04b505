// File URLs over absolute POSIX paths.

#include <unistd.h>

#include <cstring>

#include "CFRuntime.h"

struct __CFURL : CFRuntimeObject {
  static constexpr CFTypeID kTypeID = kCFRuntimeURL;
  __CFURL(CFAllocatorRef alloc, std::string path, bool isDirectory)
      : CFRuntimeObject(alloc), mPath(std::move(path)), mIsDirectory(isDirectory) {
    mString = CFStringCreateFromUTF8(FileURLString());
  }
  ~__CFURL() override { CFRelease(mString); }
  CFTypeID TypeID() const override { return kTypeID; }
  bool Equals(const CFRuntimeObject& other) const override {
    const auto& o = static_cast<const __CFURL&>(other);
    return mPath == o.mPath && mIsDirectory == o.mIsDirectory;
  }
  CFHashCode Hash() const override { return std::hash<std::string>()(mPath); }
  std::string Describe() const override { return FileURLString(); }

  // Characters outside the unreserved set and '/' are percent-escaped.
  std::string FileURLString() const {
    std::string url = "file://";
    static const char* kHex = "0123456789ABCDEF";
    for (unsigned char c : mPath) {
      if (isalnum(c) || strchr("/-._~!$&'()*+,;=:@", c)) {
        url += static_cast<char>(c);
      } else {
        url += '%';
        url += kHex[c >> 4];
        url += kHex[c & 15];
      }
    }
    if (mIsDirectory && mPath != "/") url += '/';
    return url;
  }

  const std::string mPath;  // absolute, no trailing slash except for the root
  const bool mIsDirectory;
  CFStringRef mString;
};

namespace {

// Makes a path absolute against the working folder and drops trailing slashes.
std::string NormalisePath(std::string path) {
  if (path.empty()) return path;
  if (path[0] != '/') {
    char cwd[4096];
    if (getcwd(cwd, sizeof(cwd))) path = std::string(cwd) + "/" + path;
  }
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

CFURLRef MakeURL(CFAllocatorRef allocator, const std::string& path, bool isDirectory) {
  std::string p = NormalisePath(path);
  if (p.empty()) return nullptr;
  return new __CFURL(allocator, p, isDirectory);
}

const __CFURL* URL(CFTypeRef u) { return CFCast<__CFURL>(u); }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

CFTypeID CFURLGetTypeID(void) { return kCFRuntimeURL; }

CFURLRef CFURLCreateWithFileSystemPath(CFAllocatorRef allocator, CFStringRef filePath,
                                       CFURLPathStyle pathStyle, Boolean isDirectory) {
  if (!filePath || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
  return MakeURL(allocator, CFStringUTF8(filePath), isDirectory);
}

CFURLRef CFURLCreateFromFileSystemRepresentation(CFAllocatorRef allocator, const UInt8* buffer,
                                                 CFIndex bufLen, Boolean isDirectory) {
  if (!buffer || bufLen <= 0) return nullptr;
  std::string path(reinterpret_cast<const char*>(buffer), static_cast<size_t>(bufLen));
  path = path.substr(0, path.find('\0'));
  return MakeURL(allocator, path, isDirectory);
}

CFURLRef CFURLCreateWithString(CFAllocatorRef allocator, CFStringRef URLString, CFURLRef) {
  const std::string& text = CFStringUTF8(URLString);
  const std::string scheme = "file://";
  if (text.compare(0, scheme.size(), scheme) != 0) return nullptr;
  std::string path;
  for (size_t i = scheme.size(); i < text.size(); ++i) {
    if (text[i] == '%') {
      int hi = i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
      int lo = hi >= 0 ? HexValue(text[i + 2]) : -1;
      if (lo < 0) return nullptr;
      path += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      path += text[i];
    }
  }
  // "file://localhost/path" names the same file as "file:///path".
  if (path.compare(0, 9, "localhost") == 0) path.erase(0, 9);
  if (path.empty() || path[0] != '/') return nullptr;
  return MakeURL(allocator, path, text.back() == '/');
}

CFURLRef CFURLCreateCopyAppendingPathComponent(CFAllocatorRef allocator, CFURLRef url,
                                               CFStringRef pathComponent, Boolean isDirectory) {
  const __CFURL* u = URL(url);
  if (!u || !pathComponent) return nullptr;
  std::string base = u->mPath == "/" ? "" : u->mPath;
  return MakeURL(allocator, base + "/" + CFStringUTF8(pathComponent), isDirectory);
}

CFURLRef CFURLCreateCopyDeletingLastPathComponent(CFAllocatorRef allocator, CFURLRef url) {
  const __CFURL* u = URL(url);
  if (!u) return nullptr;
  size_t slash = u->mPath.rfind('/');
  return MakeURL(allocator,
                 slash == 0 || slash == std::string::npos ? "/" : u->mPath.substr(0, slash), true);
}

CFStringRef CFURLGetString(CFURLRef anURL) {
  const __CFURL* u = URL(anURL);
  return u ? u->mString : nullptr;
}

CFStringRef CFURLCopyFileSystemPath(CFURLRef anURL, CFURLPathStyle pathStyle) {
  const __CFURL* u = URL(anURL);
  if (!u || pathStyle != kCFURLPOSIXPathStyle) return nullptr;
  return CFStringCreateFromUTF8(u->mPath);
}

CFStringRef CFURLCopyLastPathComponent(CFURLRef url) {
  const __CFURL* u = URL(url);
  if (!u) return nullptr;
  if (u->mPath == "/") return CFStringCreateFromUTF8("/");
  return CFStringCreateFromUTF8(u->mPath.substr(u->mPath.rfind('/') + 1));
}

CFStringRef CFURLCopyPathExtension(CFURLRef url) {
  const __CFURL* u = URL(url);
  if (!u) return nullptr;
  std::string last = u->mPath.substr(u->mPath.rfind('/') + 1);
  size_t dot = last.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == last.size()) return nullptr;
  return CFStringCreateFromUTF8(last.substr(dot + 1));
}

Boolean CFURLHasDirectoryPath(CFURLRef anURL) {
  const __CFURL* u = URL(anURL);
  return u && u->mIsDirectory;
}

Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean, UInt8* buffer, CFIndex maxBufLen) {
  const __CFURL* u = URL(url);
  if (!u || !buffer || maxBufLen <= 0) return false;
  if (static_cast<CFIndex>(u->mPath.size()) + 1 > maxBufLen) return false;
  memcpy(buffer, u->mPath.c_str(), u->mPath.size() + 1);
  return true;
}
