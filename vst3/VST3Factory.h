#pragma once
// The VST3 module's factory: what hosts read to list a module's classes and make instances.

#include "vst3/VST3Base.h"

namespace vst3 {

struct PFactoryInfo {
  enum FactoryFlags : int32 {
    kNoFlags = 0,
    kClassesDiscardable = 1 << 0,
    kComponentNonDiscardable = 1 << 3,
    kUnicode = 1 << 4
  };
  char vendor[64];
  char url[256];
  char email[128];
  int32 flags;
};

constexpr int32 kManyInstances = 0x7FFFFFFF;

struct PClassInfo {
  unsigned char cid[16];
  int32 cardinality;
  char category[32];
  char name[64];
};

struct PClassInfo2 {
  unsigned char cid[16];
  int32 cardinality;
  char category[32];
  char name[64];
  uint32 classFlags;
  char subCategories[128];
  char vendor[64];
  char version[64];
  char sdkVersion[64];
};

struct PClassInfoW {
  unsigned char cid[16];
  int32 cardinality;
  char category[32];
  char16_t name[64];
  uint32 classFlags;
  char subCategories[128];
  char16_t vendor[64];
  char16_t version[64];
  char16_t sdkVersion[64];
};

static_assert(sizeof(PFactoryInfo) == 452 && sizeof(PClassInfo) == 116);
static_assert(sizeof(PClassInfo2) == 440 && offsetof(PClassInfo2, sdkVersion) == 376);
static_assert(sizeof(PClassInfoW) == 696 && offsetof(PClassInfoW, sdkVersion) == 568);

class IPluginFactory : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x7A4D811C, 0x52114A1F, 0xAED9D2EE, 0x0B43BF9F);
  virtual tresult getFactoryInfo(PFactoryInfo* info) = 0;
  virtual int32 countClasses() = 0;
  virtual tresult getClassInfo(int32 index, PClassInfo* info) = 0;
  virtual tresult createInstance(FIDString cid, FIDString iid, void** obj) = 0;
};

class IPluginFactory2 : public IPluginFactory {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x0007B650, 0xF24B4C0B, 0xA464EDB9, 0xF00B2ABB);
  virtual tresult getClassInfo2(int32 index, PClassInfo2* info) = 0;
};

class IPluginFactory3 : public IPluginFactory2 {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x4555A2AB, 0xC1234E57, 0x9B122910, 0x36878931);
  virtual tresult getClassInfoUnicode(int32 index, PClassInfoW* info) = 0;
  virtual tresult setHostContext(FUnknown* context) = 0;
};

}  // namespace vst3
