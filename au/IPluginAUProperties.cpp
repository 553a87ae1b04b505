// Properties: what the unit tells the host about itself and what the host may set.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "au/CFAUPreset.h"
#include "au/IPluginAU.h"

namespace {

// noErr when the condition holds, else the error.
ComponentResult Require(bool holds, ComponentResult error) { return holds ? noErr : error; }

CFStringRef MakeCFString(const char* text) {
  return CFStringCreateWithCString(kCFAllocatorDefault, text ? text : "", kCFStringEncodingUTF8);
}

}  // namespace

int IPluginAU::GetClumpID(const char* groupName) {
  for (int i = 0; i < mParamGroups.GetSize(); ++i) {
    if (!std::strcmp(mParamGroups.Get(i)->Get(), groupName)) return i + 1;
  }
  UTL_String* pGroup = new UTL_String(groupName);
  if (!mParamGroups.Add(pGroup)) {
    delete pGroup;
    return 0;
  }
  return mParamGroups.GetSize();
}

ComponentResult IPluginAU::GetParamInfo(AudioUnitElement element, AudioUnitParameterInfo* pInfo) {
  IParam* pParam = GetParam((int)std::min<AudioUnitElement>(element, 0x7fffffff));
  if (!pParam) return kAudioUnitErr_InvalidElement;
  std::memset(pInfo, 0, sizeof(AudioUnitParameterInfo));
  pInfo->flags = kAudioUnitParameterFlag_IsReadable | kAudioUnitParameterFlag_HasCFNameString |
                 kAudioUnitParameterFlag_CFNameRelease;
  if (pParam->GetCanAutomate()) pInfo->flags |= kAudioUnitParameterFlag_IsWritable;
  if (pParam->GetIsMeta()) pInfo->flags |= kAudioUnitParameterFlag_IsElementMeta;

  const char* name = pParam->GetNameForHost();
  std::strncpy(pInfo->name, name, sizeof(pInfo->name) - 1);
  pInfo->cfNameString = MakeCFString(name);

  switch (pParam->Type()) {
    case IParam::kTypeInt:
    case IParam::kTypeEnum:
      pInfo->unit = kAudioUnitParameterUnit_Indexed;
      break;
    case IParam::kTypeBool:
      pInfo->unit = kAudioUnitParameterUnit_Boolean;
      break;
    default: {
      const char* label = pParam->GetLabelForHost();
      if (label && *label) {
        pInfo->unit = kAudioUnitParameterUnit_CustomUnit;
        pInfo->unitName = MakeCFString(label);
      } else {
        pInfo->unit = kAudioUnitParameterUnit_Generic;
      }
      break;
    }
  }

  double lo, hi;
  pParam->GetBounds(&lo, &hi);
  pInfo->minValue = (AudioUnitParameterValue)lo;
  pInfo->maxValue = (AudioUnitParameterValue)hi;
  pInfo->defaultValue = (AudioUnitParameterValue)pParam->Value();

  const char* group = pParam->GetParamGroupForHost();
  if (group && *group) {
    pInfo->flags |= kAudioUnitParameterFlag_HasClump;
    pInfo->clumpID = (UInt32)GetClumpID(group);
  }
  return noErr;
}

ComponentResult IPluginAU::GetParamValueStrings(AudioUnitElement element, UInt32* pDataSize,
                                                void* pData) {
  IParam* pParam = GetParam((int)std::min<AudioUnitElement>(element, 0x7fffffff));
  if (!pParam) return kAudioUnitErr_InvalidElement;
  const int n = pParam->GetNDisplayTexts();
  if (n == 0) {
    *pDataSize = 0;
    return kAudioUnitErr_InvalidProperty;
  }
  *pDataSize = sizeof(CFArrayRef);
  if (!pData) return noErr;
  CFMutableArrayRef array = CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFTypeArrayCallBacks);
  if (!array) return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i) {
    CFStringRef text = MakeCFString(pParam->GetDisplayTextAtIdx(i));
    if (text) {
      CFArrayAppendValue(array, text);
      CFRelease(text);
    }
  }
  *static_cast<CFArrayRef*>(pData) = array;
  return noErr;
}

ComponentResult IPluginAU::GetElementName(AudioUnitScope scope, AudioUnitElement element,
                                          void* pData) {
  if (!pData) return kAudioUnitErr_InvalidProperty;
  const int idx = (int)std::min<AudioUnitElement>(element, 0x7fffffff);
  const char* label = nullptr;
  switch (scope) {
    case kAudioUnitScope_Output:
      label = GetOutputBusLabel(idx);
      break;
    case kAudioUnitScope_Input:
      if (element > 1) return kAudioUnitErr_InvalidElement;
      label = GetInputBusLabel(idx);
      break;
    default:
      return kAudioUnitErr_InvalidScope;
  }
  if (!label) return kAudioUnitErr_InvalidElement;
  *static_cast<CFStringRef*>(pData) = MakeCFString(label);
  return noErr;
}

ComponentResult IPluginAU::GetCocoaUI(AudioUnitCocoaViewInfo* pInfo) {
  CFStringRef bundleID = MakeCFString(mBundleID.Get());
  CFBundleRef bundle = bundleID ? CFBundleGetBundleWithIdentifier(bundleID) : nullptr;
  if (bundleID) CFRelease(bundleID);
  // Without its bundle the host could not load the view class; say so rather than hand out
  // a null location.
  CFURLRef url = bundle ? CFBundleCopyBundleURL(bundle) : nullptr;
  if (!url) return kAudioUnitErr_InvalidProperty;
  pInfo->mCocoaAUViewBundleLocation = url;
  pInfo->mCocoaAUViewClass[0] = MakeCFString(mViewFactoryClassName.Get());
  return noErr;
}

ComponentResult IPluginAU::GetParamStringFromValue(AudioUnitParameterStringFromValue* pReq) {
  IParam* pParam = GetParam((int)std::min<AudioUnitParameterID>(pReq->inParamID, 0x7fffffff));
  if (!pParam) return kAudioUnitErr_InvalidParameter;
  // A null value asks for the current one.
  const double value = pReq->inValue ? (double)*pReq->inValue : pParam->Value();
  pParam->GetDisplayForHost(value, false, mParamDisplayText, true);
  pReq->outString = MakeCFString(mParamDisplayText);
  return noErr;
}

ComponentResult IPluginAU::GetParamIDName(AudioUnitParameterIDName* pReq) {
  IParam* pParam = GetParam((int)std::min<AudioUnitParameterID>(pReq->inID, 0x7fffffff));
  if (!pParam) return kAudioUnitErr_InvalidParameter;
  char name[32];
  std::strncpy(name, pParam->GetNameForHost(), sizeof(name) - 1);
  name[sizeof(name) - 1] = '\0';
  // Any negative length asks for the full name, like kAudioUnitParameterName_Full.
  if (pReq->inDesiredLength >= 0) name[std::min<SInt32>(pReq->inDesiredLength, 31)] = '\0';
  pReq->outName = MakeCFString(name);
  return noErr;
}

ComponentResult IPluginAU::GetParamClumpName(AudioUnitParameterNameInfo* pReq) {
  const UInt32 clumpID = pReq->inID;
  if (clumpID == 0 || clumpID > (UInt32)NParamGroups()) return kAudioUnitErr_PropertyNotInUse;
  pReq->outName = MakeCFString(GetParamGroupName((int)clumpID - 1));
  return noErr;
}

ComponentResult IPluginAU::GetParamValueFromString(AudioUnitParameterValueFromString* pReq) {
  IParam* pParam = GetParam((int)std::min<AudioUnitParameterID>(pReq->inParamID, 0x7fffffff));
  if (!pParam) return kAudioUnitErr_InvalidParameter;
  if (!pReq->inString) return kAudioUnitErr_InvalidPropertyValue;
  const CFIndex length = CFStringGetLength(pReq->inString);
  const CFIndex bufSize = CFStringGetMaximumSizeForEncoding(length, kCFStringEncodingUTF8) + 1;
  UTL_TypedBuf<char> text(128);
  if (!text.Resize((int)std::min<CFIndex>(bufSize, 0x7fffffff)) ||
      !CFStringGetCString(pReq->inString, text.Get(), text.GetSize(), kCFStringEncodingUTF8))
    return kAudioUnitErr_InvalidPropertyValue;
  if (pParam->GetNDisplayTexts()) {
    int value;
    if (pParam->MapDisplayText(text.Get(), &value)) pReq->outValue = (AudioUnitParameterValue)value;
  } else {
    double value = std::atof(text.Get());
    if (pParam->GetNegateDisplay()) value = -value;
    pReq->outValue = (AudioUnitParameterValue)value;
  }
  return noErr;
}

ComponentResult IPluginAU::GetFactoryPresets(CFArrayRef* pArray) {
  const int n = NPresets();
  CFMutableArrayRef array =
      CFArrayCreateMutable(kCFAllocatorDefault, n, &kCFAUPresetArrayCallBacks);
  if (!array) return coreFoundationUnknownErr;
  for (int i = 0; i < n; ++i) {
    CFStringRef name = MakeCFString(GetPresetName(i));
    CFAUPresetRef preset = CFAUPresetCreate(kCFAllocatorDefault, i, name);
    if (preset) {
      CFArrayAppendValue(array, preset);
      CFAUPresetRelease(preset);
    }
    if (name) CFRelease(name);
  }
  *pArray = array;
  return noErr;
}

// One property the host may read or write. Reading goes through the same steps for every
// property: is it readable, is the scope one it answers on, does what it describes exist, may
// the host write it, is the host's buffer big enough; then its reader runs. Writing calls the
// writer, which checks scope and value itself because each property refuses them differently.
struct IPluginAU::PropertyRule {
  enum Scopes { kAnyScope, kGlobalOnly, kGlobalOrInput };
  enum Writable { kReadOnly, kWritable, kWritableWithTail };
  using Check = ComponentResult (*)(IPluginAU&, const PropertyCall&);
  using Count = UInt32 (*)(IPluginAU&, AudioUnitScope);
  using Get = ComponentResult (*)(IPluginAU&, const PropertyCall&);
  using Set = ComponentResult (*)(IPluginAU&, AudioUnitScope, AudioUnitElement, const void*);

  AudioUnitPropertyID id;
  Scopes scopes = kAnyScope;
  Check available = nullptr;  // what must exist before the property is answered
  Writable writable = kReadOnly;
  // Bytes of the value (of one item when counted). A property with a size but no reader can
  // only be set: reading reports its size alone. 0 with a reader: the reader sizes the value;
  // 0 without one: the property cannot be read.
  UInt32 size = 0;
  Count count = nullptr;
  Get get = nullptr;
  Set set = nullptr;
};

const IPluginAU::PropertyRule* IPluginAU::FindPropertyRule(AudioUnitPropertyID id) {
  using R = PropertyRule;
  // The editor's view component type ('auvw').
  static constexpr OSType kViewComponentType = 0x61757677;
  static constexpr auto fastProc = [](AudioUnitElement select) -> void* {
    switch (select) {
      case kAudioUnitGetParameterSelect:
        return (void*)(AudioUnitGetParameterProc)GetParamProc;
      case kAudioUnitSetParameterSelect:
        return (void*)(AudioUnitSetParameterProc)SetParamProc;
      case kAudioUnitRenderSelect:
        return (void*)(AudioUnitRenderProc)RenderProc;
      default:
        return nullptr;
    }
  };
  // An instrument with several outputs names the layout of each output and of its input.
  static constexpr auto layoutBus = [](IPluginAU& au, const PropertyCall& c) -> BusChannels* {
    if (!au.IsInst() || au.mOutputBuses.GetSize() == 1) return nullptr;
    if (c.scope == kAudioUnitScope_Output) return au.GetBus(c.scope, c.element);
    if (c.scope == kAudioUnitScope_Input) return au.mInputBuses.Get(0);
    return nullptr;
  };
  static constexpr auto setUInt32 = [](const void* pData, auto apply) -> ComponentResult {
    if (!pData) return kAudioUnitErr_InvalidPropertyValue;
    return apply(*static_cast<const UInt32*>(pData));
  };
  static constexpr R::Get getPreset = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
    if (!c.pData) return noErr;
    AUPreset* pPreset = static_cast<AUPreset*>(c.pData);
    const int idx = au.GetCurrentPresetIdx();
    pPreset->presetNumber = idx;
    pPreset->presetName = MakeCFString(au.GetPresetName(idx));
    return noErr;
  };
  static constexpr R::Set setPreset = [](IPluginAU& au, AudioUnitScope, AudioUnitElement,
                                         const void* pData) -> ComponentResult {
    if (!pData) return kAudioUnitErr_InvalidPropertyValue;
    au.RestorePreset((int)static_cast<const AUPreset*>(pData)->presetNumber);
    return noErr;
  };

  static const R kRules[] = {
      {.id = kAudioUnitProperty_ClassInfo,
       .writable = R::kWritable,
       .size = sizeof(CFPropertyListRef),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         return c.pData ? au.GetState(static_cast<CFPropertyListRef*>(c.pData)) : noErr;
       },
       .set = [](IPluginAU& au, AudioUnitScope, AudioUnitElement,
                 const void* pData) -> ComponentResult {
         if (!pData) return kAudioUnitErr_InvalidPropertyValue;
         return au.SetState(*static_cast<const CFPropertyListRef*>(pData));
       }},
      {.id = kAudioUnitProperty_MakeConnection,
       .scopes = R::kGlobalOrInput,
       .writable = R::kWritable,
       .size = sizeof(AudioUnitConnection),
       .set = [](IPluginAU& au, AudioUnitScope scope, AudioUnitElement,
                 const void* pData) -> ComponentResult {
         return au.MakeConnection(scope, static_cast<const AudioUnitConnection*>(pData));
       }},
      {.id = kAudioUnitProperty_SampleRate,
       .writable = R::kWritable,
       .size = sizeof(Float64),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.pData) *static_cast<Float64*>(c.pData) = au.GetSampleRate();
         return noErr;
       },
       .set = [](IPluginAU& au, AudioUnitScope, AudioUnitElement,
                 const void* pData) -> ComponentResult {
         if (!pData) return kAudioUnitErr_InvalidPropertyValue;
         const Float64 rate = *static_cast<const Float64*>(pData);
         // Every time the unit reports is divided by the rate; keep it a positive number.
         if (!(rate > 0.0 && rate < 1e12)) return kAudioUnitErr_InvalidPropertyValue;
         au.SetSampleRate(rate);
         au.PrepareIfInitialized();
         au.Reset();
         return noErr;
       }},
      {.id = kAudioUnitProperty_ParameterList,
       .size = sizeof(AudioUnitParameterID),
       .count = [](IPluginAU& au, AudioUnitScope scope) -> UInt32 {
         return scope == kAudioUnitScope_Global ? (UInt32)au.NParams() : 0;
       },
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (!c.pData || c.scope != kAudioUnitScope_Global) return noErr;
         AudioUnitParameterID* pIDs = static_cast<AudioUnitParameterID*>(c.pData);
         for (int i = 0; i < au.NParams(); ++i) pIDs[i] = (AudioUnitParameterID)i;
         return noErr;
       }},
      {.id = kAudioUnitProperty_ParameterInfo,
       .scopes = R::kGlobalOnly,
       .available = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         return Require(c.element < (AudioUnitElement)au.NParams(), kAudioUnitErr_InvalidElement);
       },
       .size = sizeof(AudioUnitParameterInfo),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (!c.pData) return noErr;
         return au.GetParamInfo(c.element, static_cast<AudioUnitParameterInfo*>(c.pData));
       }},
      {.id = kAudioUnitProperty_FastDispatch,
       .available = [](IPluginAU&, const PropertyCall& c) -> ComponentResult {
         Trace("GetProc", __LINE__, "%s:(%d:%s)", c.pData ? "" : "Info", (int)c.element,
               AUSelectStr((int)c.element));
         return Require(fastProc(c.element), kAudioUnitErr_InvalidElement);
       },
       .size = sizeof(void*),
       .get = [](IPluginAU&, const PropertyCall& c) -> ComponentResult {
         void* proc = fastProc(c.element);
         if (c.pData) std::memcpy(c.pData, &proc, sizeof(proc));
         return noErr;
       }},
      {.id = kAudioUnitProperty_StreamFormat,
       .available = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         return Require(au.GetBus(c.scope, c.element), kAudioUnitErr_InvalidProperty);
       },
       .writable = R::kWritable,
       .size = sizeof(AudioStreamBasicDescription),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         return au.GetStreamFormat(c.scope, c.element,
                                   static_cast<AudioStreamBasicDescription*>(c.pData));
       },
       .set = [](IPluginAU& au, AudioUnitScope scope, AudioUnitElement element,
                 const void* pData) -> ComponentResult {
         return au.SetStreamFormat(scope, element,
                                   static_cast<const AudioStreamBasicDescription*>(pData));
       }},
      {.id = kAudioUnitProperty_ElementCount,
       .size = sizeof(UInt32),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         UInt32 n = 0;
         if (c.scope == kAudioUnitScope_Global) {
           n = 1;
         } else if (c.scope == kAudioUnitScope_Input) {
           n = (UInt32)au.mInputBuses.GetSize();
         } else if (c.scope == kAudioUnitScope_Output) {
           n = (UInt32)au.mOutputBuses.GetSize();
         }
         if (c.pData) *static_cast<UInt32*>(c.pData) = n;
         return noErr;
       }},
      {.id = kAudioUnitProperty_Latency,
       .scopes = R::kGlobalOnly,
       .size = sizeof(Float64),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.pData)
           *static_cast<Float64*>(c.pData) = (double)au.GetLatency() / au.GetSampleRate();
         return noErr;
       }},
      {.id = kAudioUnitProperty_SupportedNumChannels,
       .scopes = R::kGlobalOnly,
       .size = sizeof(AUChannelInfo),
       .count = [](IPluginAU& au, AudioUnitScope) { return (UInt32)au.NChannelIO(); },
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (!c.pData) return noErr;
         AUChannelInfo* pInfo = static_cast<AUChannelInfo*>(c.pData);
         for (int i = 0; i < au.NChannelIO(); ++i) {
           int nIn = 0, nOut = 0;
           au.GetChannelIO(i, &nIn, &nOut);
           pInfo[i].inChannels = (SInt16)nIn;
           pInfo[i].outChannels = (SInt16)nOut;
           Trace("GetProperty", __LINE__, "IO:%d:%d", nIn, nOut);
         }
         return noErr;
       }},
      {.id = kAudioUnitProperty_MaximumFramesPerSlice,
       .scopes = R::kGlobalOnly,
       .writable = R::kWritable,
       .size = sizeof(UInt32),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.pData) *static_cast<UInt32*>(c.pData) = (UInt32)au.GetBlockSize();
         return noErr;
       },
       .set = [](IPluginAU& au, AudioUnitScope, AudioUnitElement,
                 const void* pData) -> ComponentResult {
         return setUInt32(pData, [&au](UInt32 frames) -> ComponentResult {
           // The scratch buffers hold frames x channels floats in an int count.
           if (frames > kMaxFramesPerSlice) return kAudioUnitErr_InvalidPropertyValue;
           au.SetBlockSize((int)frames);
           au.PrepareIfInitialized();
           au.Reset();
           return noErr;
         });
       }},
      {.id = kAudioUnitProperty_ParameterValueStrings,
       .scopes = R::kGlobalOnly,
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.pData && *c.pDataSize < sizeof(CFArrayRef)) {
           *c.pDataSize = sizeof(CFArrayRef);
           return kAudioUnitErr_InvalidPropertyValue;
         }
         return au.GetParamValueStrings(c.element, c.pDataSize, c.pData);
       }},
      {.id = kAudioUnitProperty_GetUIComponentList,
       .available = [](IPluginAU& au, const PropertyCall&) -> ComponentResult {
         return Require(au.MakeEditorOnce(), kAudioUnitErr_InvalidProperty);
       },
       .size = sizeof(ComponentDescription),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (!c.pData) return noErr;
         ComponentDescription* pDesc = static_cast<ComponentDescription*>(c.pData);
         pDesc->componentType = kViewComponentType;
         pDesc->componentSubType = (OSType)au.GetUniqueID();
         pDesc->componentManufacturer = (OSType)au.GetMfrID();
         pDesc->componentFlags = 0;
         pDesc->componentFlagsMask = 0;
         return noErr;
       }},
      {.id = kAudioUnitProperty_AudioChannelLayout,
       .get = [](IPluginAU&, const PropertyCall&) -> ComponentResult {
         return kAudioUnitErr_InvalidPropertyValue;
       }},
      {.id = kAudioUnitProperty_TailTime,
       .scopes = R::kGlobalOnly,
       .writable = R::kWritableWithTail,
       .size = sizeof(Float64),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.pData)
           *static_cast<Float64*>(c.pData) = (double)au.GetTailSize() / au.GetSampleRate();
         return noErr;
       }},
      {.id = kAudioUnitProperty_BypassEffect,
       .scopes = R::kGlobalOnly,
       .writable = R::kWritable,
       .size = sizeof(UInt32),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.pData) *static_cast<UInt32*>(c.pData) = au.IsBypassed() ? 1 : 0;
         return noErr;
       },
       .set = [](IPluginAU& au, AudioUnitScope, AudioUnitElement,
                 const void* pData) -> ComponentResult {
         return setUInt32(pData, [&au](UInt32 bypass) -> ComponentResult {
           au.mIsBypassed = bypass != 0;
           au.OnActivate(!au.mIsBypassed);
           au.Reset();
           return noErr;
         });
       }},
      {.id = kAudioUnitProperty_LastRenderError,
       .scopes = R::kGlobalOnly,
       .size = sizeof(OSStatus),
       .get = [](IPluginAU&, const PropertyCall& c) -> ComponentResult {
         if (c.pData) *static_cast<OSStatus*>(c.pData) = noErr;
         return noErr;
       }},
      {.id = kAudioUnitProperty_SetRenderCallback,
       .scopes = R::kGlobalOrInput,
       .available = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         return Require(c.element < (AudioUnitElement)au.mInputBuses.GetSize(),
                        kAudioUnitErr_InvalidProperty);
       },
       .writable = R::kWritable,
       .size = sizeof(AURenderCallbackStruct),
       .set = [](IPluginAU& au, AudioUnitScope scope, AudioUnitElement element,
                 const void* pData) -> ComponentResult {
         return au.SetRenderCallback(scope, element,
                                     static_cast<const AURenderCallbackStruct*>(pData));
       }},
      {.id = kAudioUnitProperty_FactoryPresets,
       .size = sizeof(CFArrayRef),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         return c.pData ? au.GetFactoryPresets(static_cast<CFArrayRef*>(c.pData)) : noErr;
       }},
      {.id = kAudioUnitProperty_HostCallbacks,
       .scopes = R::kGlobalOnly,
       .writable = R::kWritable,
       .size = sizeof(HostCallbackInfo),
       .set = [](IPluginAU& au, AudioUnitScope scope, AudioUnitElement,
                 const void* pData) -> ComponentResult {
         if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
         if (!pData) return kAudioUnitErr_InvalidPropertyValue;
         std::memcpy(&au.mHostCallbacks, pData, sizeof(HostCallbackInfo));
         return noErr;
       }},
      {.id = kAudioUnitProperty_CurrentPreset,
       .writable = R::kWritable,
       .size = sizeof(AUPreset),
       .get = getPreset,
       .set = setPreset},
      {.id = kAudioUnitProperty_PresentPreset,
       .writable = R::kWritable,
       .size = sizeof(AUPreset),
       .get = getPreset,
       .set = setPreset},
      {.id = kAudioUnitProperty_OfflineRender,
       .set = [](IPluginAU& au, AudioUnitScope, AudioUnitElement,
                 const void* pData) -> ComponentResult {
         return setUInt32(pData, [&au](UInt32 offline) -> ComponentResult {
           au.mRenderingOffline = offline != 0;
           return noErr;
         });
       }},
      {.id = kAudioUnitProperty_ElementName,
       .size = sizeof(CFStringRef),
       .get = [](IPluginAU& au,
                 const PropertyCall& c) { return au.GetElementName(c.scope, c.element, c.pData); }},
      {.id = kAudioUnitProperty_CocoaUI,
       .available = [](IPluginAU& au, const PropertyCall&) -> ComponentResult {
         // Cocoa view factories need 10.5 or later.
         SInt32 osVersion = 0;
         if (!au.MakeEditorOnce() || Gestalt(gestaltSystemVersion, &osVersion) != noErr ||
             osVersion < 0x1050)
           return kAudioUnitErr_InvalidProperty;
         return noErr;
       },
       .size = sizeof(AudioUnitCocoaViewInfo),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         return c.pData ? au.GetCocoaUI(static_cast<AudioUnitCocoaViewInfo*>(c.pData)) : noErr;
       }},
      {.id = kAudioUnitProperty_SupportedChannelLayoutTags,
       .available = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         return Require(layoutBus(au, c), kAudioUnitErr_InvalidProperty);
       },
       .writable = R::kWritable,
       .size = sizeof(AudioChannelLayoutTag),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (!c.pData) return noErr;
         const int nChannels = layoutBus(au, c)->mPlugChannelCount;
         AudioChannelLayoutTag tag = kAudioChannelLayoutTag_Unknown;
         if (nChannels == 1) tag = kAudioChannelLayoutTag_Mono;
         if (nChannels == 2) tag = kAudioChannelLayoutTag_Stereo;
         *static_cast<AudioChannelLayoutTag*>(c.pData) = tag;
         return noErr;
       }},
      // The parameter text requests answer only on the global scope and only with a record.
      {.id = kAudioUnitProperty_ParameterStringFromValue,
       .size = sizeof(AudioUnitParameterStringFromValue),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.scope != kAudioUnitScope_Global || !c.pData) return noErr;
         return au.GetParamStringFromValue(
             static_cast<AudioUnitParameterStringFromValue*>(c.pData));
       }},
      {.id = kAudioUnitProperty_ParameterIDName,
       .size = sizeof(AudioUnitParameterIDName),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.scope != kAudioUnitScope_Global || !c.pData) return noErr;
         return au.GetParamIDName(static_cast<AudioUnitParameterIDName*>(c.pData));
       }},
      {.id = kAudioUnitProperty_ParameterClumpName,
       .size = sizeof(AudioUnitParameterNameInfo),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.scope != kAudioUnitScope_Global || !c.pData) return noErr;
         return au.GetParamClumpName(static_cast<AudioUnitParameterNameInfo*>(c.pData));
       }},
      {.id = kAudioUnitProperty_ParameterValueFromString,
       .size = sizeof(AudioUnitParameterValueFromString),
       .get = [](IPluginAU& au, const PropertyCall& c) -> ComponentResult {
         if (c.scope != kAudioUnitScope_Global || !c.pData) return noErr;
         return au.GetParamValueFromString(
             static_cast<AudioUnitParameterValueFromString*>(c.pData));
       }},
      {.id = kAudioUnitProperty_AUHostIdentifier,
       .set = [](IPluginAU& au, AudioUnitScope, AudioUnitElement,
                 const void* pData) -> ComponentResult {
         if (!pData) return kAudioUnitErr_InvalidPropertyValue;
         au.SetHostIdentifier(*static_cast<const AUHostVersionIdentifier*>(pData));
         return noErr;
       }},
      {.id = kMusicDeviceProperty_InstrumentCount,
       .scopes = R::kGlobalOnly,
       .available = [](IPluginAU& au, const PropertyCall&) -> ComponentResult {
         return Require(au.IsInst(), kAudioUnitErr_InvalidProperty);
       },
       .size = sizeof(UInt32),
       .get = [](IPluginAU&, const PropertyCall& c) -> ComponentResult {
         if (c.pData) *static_cast<UInt32*>(c.pData) = 1;
         return noErr;
       }},
  };
  for (const R& rule : kRules) {
    if (rule.id == id) return &rule;
  }
  return nullptr;
}

void IPluginAU::SetHostIdentifier(const AUHostVersionIdentifier& host) {
  char name[kMaxHostNameLength + 1] = "";
  // A name too long for the buffer is cut rather than dropped.
  if (host.hostName &&
      !CFStringGetCString(host.hostName, name, sizeof(name), kCFStringEncodingUTF8)) {
    CFIndex used = 0;
    CFStringGetBytes(host.hostName, CFRangeMake(0, CFStringGetLength(host.hostName)),
                     kCFStringEncodingUTF8, '?', false, (UInt8*)name, sizeof(name) - 1, &used);
    name[used] = '\0';
  }
  NumVersion v;
  std::memcpy(&v, &host.hostVersion, sizeof(v));
  const int version =
      (v.majorRev << 16) + ((v.minorAndBugRev & 0xF0) >> 4 << 8) + (v.minorAndBugRev & 0x0F);
  SetHost(name, version);
  OnHostIdentified();
}

ComponentResult IPluginAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                       AudioUnitElement element, UInt32* pDataSize,
                                       Boolean* pWriteable, void* pData) {
  Trace("GetProperty", __LINE__, "%s(%d:%s):(%d:%s):%d", pData ? "" : "info:", (int)propID,
        AUPropertyStr((int)propID), (int)scope, AUScopeStr((int)scope), (int)element);
  const PropertyRule* rule = FindPropertyRule(propID);
  if (!rule || (!rule->get && !rule->size)) return kAudioUnitErr_InvalidProperty;
  const bool global = scope == kAudioUnitScope_Global;
  if ((rule->scopes == PropertyRule::kGlobalOnly && !global) ||
      (rule->scopes == PropertyRule::kGlobalOrInput && !global && scope != kAudioUnitScope_Input))
    return kAudioUnitErr_InvalidProperty;
  const PropertyCall call{scope, element, pDataSize, pData};
  if (rule->available) {
    if (const ComponentResult r = rule->available(*this, call); r != noErr) return r;
  }
  if (rule->writable == PropertyRule::kWritable ||
      (rule->writable == PropertyRule::kWritableWithTail && GetTailSize() > 0))
    *pWriteable = true;
  if (rule->size) {
    const UInt32 size = rule->count ? rule->count(*this, scope) * rule->size : rule->size;
    const UInt32 hostSize = *pDataSize;
    *pDataSize = size;
    if (!rule->get) return noErr;
    // The host's buffer is checked before anything is written: a smaller one is refused
    // instead of overrun.
    if (pData && hostSize < size) return kAudioUnitErr_InvalidPropertyValue;
  }
  return rule->get(*this, call);
}

ComponentResult IPluginAU::SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                       AudioUnitElement element, UInt32* /*pDataSize*/,
                                       const void* pData) {
  Trace("SetProperty", __LINE__, "(%d:%s):(%d:%s):%d", (int)propID, AUPropertyStr((int)propID),
        (int)scope, AUScopeStr((int)scope), (int)element);
  InformListeners(propID, scope);
  const PropertyRule* rule = FindPropertyRule(propID);
  if (!rule || !rule->set) return kAudioUnitErr_InvalidProperty;
  return rule->set(*this, scope, element, pData);
}
