#pragma once
// Component Manager: components registered with a description and an entry routine, opened
// as instances, and called through their entry with a ComponentParameters record.
//
// Argument layout (the 64-bit convention): params[0] holds the component instance; the
// selector's arguments follow in params[1], params[2], ... in the order of the C call, each in
// its own long-sized slot. Integers are widened to long (sign-extended when signed); pointers
// and floats are copied to the start of a zero-filled slot. So copying sizeof(T) bytes from
// &params->params[i + 1] (memcpy, which keeps clear of aliasing rules) reads argument i of
// type T, and an integer argument can also be read as the long itself. paramSize is
// the byte size of the argument slots, not counting the instance slot. The open selector
// passes only the new instance (params[0]); the storage argument of the entry is null then.

#include <CoreFoundation/CFBase.h>

CF_EXTERN_C_BEGIN

typedef SInt32 ComponentResult;

typedef struct ComponentRecord* Component;
typedef struct ComponentInstanceRecord* ComponentInstance;

enum {
  kAnyComponentType = 0,
  kAnyComponentSubType = 0,
  kAnyComponentManufacturer = 0,
  kAnyComponentFlagsMask = 0
};

// Zero fields of a description used for a search match anything.
struct ComponentDescription {
  OSType componentType;
  OSType componentSubType;
  OSType componentManufacturer;
  UInt32 componentFlags;
  UInt32 componentFlagsMask;
};
typedef struct ComponentDescription ComponentDescription;

enum { kSmallestArray = 1 };

struct ComponentParameters {
  UInt8 flags;
  UInt8 paramSize;
  SInt16 what;
  UInt32 padding;
  long params[kSmallestArray];
};
typedef struct ComponentParameters ComponentParameters;

typedef ComponentResult (*ComponentRoutineProcPtr)(ComponentParameters* cp,
                                                   Handle componentStorage);
typedef ComponentRoutineProcPtr ComponentRoutineUPP;

// Required selectors.
enum {
  kComponentOpenSelect = -1,
  kComponentCloseSelect = -2,
  kComponentCanDoSelect = -3,
  kComponentVersionSelect = -4,
  kComponentRegisterSelect = -5,
  kComponentTargetSelect = -6,
  kComponentUnregisterSelect = -7,
  kComponentGetMPWorkFunctionSelect = -8,
  kComponentExecuteWiredActionSelect = -9,
  kComponentGetPublicResourceSelect = -10
};

// Results.
enum {
  invalidComponentID = -3000,
  validInstancesExist = -3001,
  componentNotCaptured = -3002,
  componentDontRegister = -3003,
  unresolvedComponentDLLErr = -3004,
  retryComponentRegistrationErr = -3005
};
#define badComponentInstance ((OSStatus)0x80008001)
#define badComponentSelector ((OSStatus)0x80008002)
enum { coreFoundationUnknownErr = -4960 };

// The name, info and icon handles are accepted but not stored or filled in.
CF_EXPORT Component RegisterComponent(ComponentDescription* cd,
                                      ComponentRoutineUPP componentEntryPoint, SInt16 global,
                                      Handle componentName, Handle componentInfo,
                                      Handle componentIcon);
// Fails with validInstancesExist while instances of the component are open. The stale
// handle then answers invalidComponentID.
CF_EXPORT OSErr UnregisterComponent(Component aComponent);
CF_EXPORT Component FindNextComponent(Component aComponent, ComponentDescription* looking);
CF_EXPORT long CountComponents(ComponentDescription* looking);
// Accepts a component or an instance of it.
CF_EXPORT OSErr GetComponentInfo(Component aComponent, ComponentDescription* cd,
                                 Handle componentName, Handle componentInfo, Handle componentIcon);
CF_EXPORT long GetComponentVersion(ComponentInstance aComponentInstance);
CF_EXPORT long ComponentFunctionImplemented(ComponentInstance ci, SInt16 ftnNumber);

// Sends the open selector; an error from the component closes the new instance again.
CF_EXPORT OSErr OpenAComponent(Component aComponent, ComponentInstance* ci);
CF_EXPORT ComponentInstance OpenComponent(Component aComponent);
// Sends the close selector and ends the instance; calls with the stale handle then answer
// badComponentInstance (the handle is never reused).
CF_EXPORT OSErr CloseComponent(ComponentInstance aComponentInstance);

CF_EXPORT void SetComponentInstanceStorage(ComponentInstance aComponentInstance, Handle theStorage);
CF_EXPORT Handle GetComponentInstanceStorage(ComponentInstance aComponentInstance);

// Calls the entry of the instance in params[0] with the record and the instance storage.
// badComponentInstance for an instance that is not open.
CF_EXPORT ComponentResult CallComponentDispatch(ComponentParameters* cp);

// System information. gestaltSystemVersion answers 0x1099, the saturated value macOS reports
// from 10.10 on.
enum {
  gestaltSystemVersion = 0x73797376,       // 'sysv'
  gestaltSystemVersionMajor = 0x73797331,  // 'sys1'
  gestaltSystemVersionMinor = 0x73797332,  // 'sys2'
  gestaltSystemVersionBugFix = 0x73797333  // 'sys3'
};
enum { gestaltUndefSelectorErr = -5551 };
CF_EXPORT OSErr Gestalt(OSType selector, SInt32* response);

CF_EXTERN_C_END
