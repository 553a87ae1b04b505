#pragma once
// Bundles laid out as on the Mac: Name.ext/Contents/Info.plist, Contents/Linux/<executable>.so
// (Contents/MacOS is accepted too) and Contents/Resources. A bundle is found by identifier
// among the bundles created in this process and the bundles whose executables are loaded.

#include <CoreFoundation/CFArray.h>
#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFDictionary.h>
#include <CoreFoundation/CFString.h>
#include <CoreFoundation/CFURL.h>

CF_EXTERN_C_BEGIN

typedef struct __CFBundle* CFBundleRef;

CF_EXPORT const CFStringRef kCFBundleInfoDictionaryVersionKey;
CF_EXPORT const CFStringRef kCFBundleExecutableKey;
CF_EXPORT const CFStringRef kCFBundleIdentifierKey;
CF_EXPORT const CFStringRef kCFBundleVersionKey;
CF_EXPORT const CFStringRef kCFBundleNameKey;

CF_EXPORT CFTypeID CFBundleGetTypeID(void);
// The bundle of the running program. A program inside a bundle (X.app/Contents/Linux/prog)
// belongs to that bundle; any other program has a flat bundle rooted at its own folder, whose
// Info.plist, if present, lies beside the program.
CF_EXPORT CFBundleRef CFBundleGetMainBundle(void);
// Not retained for the caller ("Get" rule).
CF_EXPORT CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleID);
// Opens the bundle at a folder; null when the folder does not exist. Bundles are unique per
// path, so a second create for the same folder returns the same bundle, retained.
CF_EXPORT CFBundleRef CFBundleCreate(CFAllocatorRef allocator, CFURLRef bundleURL);
CF_EXPORT CFStringRef CFBundleGetIdentifier(CFBundleRef bundle);
CF_EXPORT CFDictionaryRef CFBundleGetInfoDictionary(CFBundleRef bundle);
CF_EXPORT CFTypeRef CFBundleGetValueForInfoDictionaryKey(CFBundleRef bundle, CFStringRef key);
CF_EXPORT UInt32 CFBundleGetVersionNumber(CFBundleRef bundle);
CF_EXPORT CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle);
CF_EXPORT CFURLRef CFBundleCopyResourcesDirectoryURL(CFBundleRef bundle);
CF_EXPORT CFURLRef CFBundleCopyExecutableURL(CFBundleRef bundle);
// resourceType may be null (the name then carries any extension); subDirName is relative to
// the Resources folder. Null when no such file exists.
CF_EXPORT CFURLRef CFBundleCopyResourceURL(CFBundleRef bundle, CFStringRef resourceName,
                                           CFStringRef resourceType, CFStringRef subDirName);
CF_EXPORT Boolean CFBundleIsExecutableLoaded(CFBundleRef bundle);
CF_EXPORT Boolean CFBundleLoadExecutable(CFBundleRef bundle);
CF_EXPORT void* CFBundleGetFunctionPointerForName(CFBundleRef bundle, CFStringRef functionName);

// Linux stand-in only: gives the main bundle another identifier, so that a program (a test)
// can pose as a particular host application. Null restores the identifier from Info.plist.
CF_EXPORT void CFBundleLinuxSetMainBundleIdentifier(CFStringRef bundleID);

CF_EXTERN_C_END
