// Properties: what the unit tells the host about itself and what the host may set.

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "au/CFAUPreset.h"
#include "au/IPluginAU.h"

namespace {

// The editor's view component type ('auvw').
constexpr OSType kViewComponentType = 0x61757677;

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

ComponentResult IPluginAU::GetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                       AudioUnitElement element, UInt32* pDataSize,
                                       Boolean* pWriteable, void* pData) {
  Trace("GetProperty", __LINE__, "%s(%d:%s):(%d:%s):%d", pData ? "" : "info:", (int)propID,
        AUPropertyStr((int)propID), (int)scope, AUScopeStr((int)scope), (int)element);

  // Checks the host's buffer against the property's size before anything is written; a
  // smaller buffer is refused instead of overrun.
  const UInt32 hostSize = *pDataSize;
  auto sized = [&](UInt32 size) {
    *pDataSize = size;
    return !pData || hostSize >= size;
  };
  const bool global = scope == kAudioUnitScope_Global;

  switch (propID) {
    case kAudioUnitProperty_ClassInfo:
      *pWriteable = true;
      if (!sized(sizeof(CFPropertyListRef))) return kAudioUnitErr_InvalidPropertyValue;
      return pData ? GetState(static_cast<CFPropertyListRef*>(pData)) : noErr;

    case kAudioUnitProperty_MakeConnection:
      if (!global && scope != kAudioUnitScope_Input) return kAudioUnitErr_InvalidProperty;
      *pWriteable = true;
      sized(sizeof(AudioUnitConnection));
      return noErr;

    case kAudioUnitProperty_SampleRate:
      *pWriteable = true;
      if (!sized(sizeof(Float64))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) *static_cast<Float64*>(pData) = GetSampleRate();
      return noErr;

    case kAudioUnitProperty_ParameterList: {
      const int n = global ? NParams() : 0;
      if (!sized((UInt32)n * sizeof(AudioUnitParameterID)))
        return kAudioUnitErr_InvalidPropertyValue;
      if (pData) {
        AudioUnitParameterID* pIDs = static_cast<AudioUnitParameterID*>(pData);
        for (int i = 0; i < n; ++i) pIDs[i] = (AudioUnitParameterID)i;
      }
      return noErr;
    }

    case kAudioUnitProperty_ParameterInfo:
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (element >= (AudioUnitElement)NParams()) return kAudioUnitErr_InvalidElement;
      if (!sized(sizeof(AudioUnitParameterInfo))) return kAudioUnitErr_InvalidPropertyValue;
      return pData ? GetParamInfo(element, static_cast<AudioUnitParameterInfo*>(pData)) : noErr;

    case kAudioUnitProperty_FastDispatch: {
      Trace("GetProc", __LINE__, "%s:(%d:%s)", pData ? "" : "Info", (int)element,
            AUSelectStr((int)element));
      void* proc;
      switch (element) {
        case kAudioUnitGetParameterSelect:
          proc = (void*)(AudioUnitGetParameterProc)GetParamProc;
          break;
        case kAudioUnitSetParameterSelect:
          proc = (void*)(AudioUnitSetParameterProc)SetParamProc;
          break;
        case kAudioUnitRenderSelect:
          proc = (void*)(AudioUnitRenderProc)RenderProc;
          break;
        default:
          return kAudioUnitErr_InvalidElement;
      }
      if (!sized(sizeof(void*))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) std::memcpy(pData, &proc, sizeof(proc));
      return noErr;
    }

    case kAudioUnitProperty_StreamFormat: {
      if (!GetBus(scope, element)) return kAudioUnitErr_InvalidProperty;
      *pWriteable = true;
      if (!sized(sizeof(AudioStreamBasicDescription))) return kAudioUnitErr_InvalidPropertyValue;
      return GetStreamFormat(scope, element, static_cast<AudioStreamBasicDescription*>(pData));
    }

    case kAudioUnitProperty_ElementCount: {
      if (!sized(sizeof(UInt32))) return kAudioUnitErr_InvalidPropertyValue;
      UInt32 n = 0;
      if (global) {
        n = 1;
      } else if (scope == kAudioUnitScope_Input) {
        n = (UInt32)mInputBuses.GetSize();
      } else if (scope == kAudioUnitScope_Output) {
        n = (UInt32)mOutputBuses.GetSize();
      }
      if (pData) *static_cast<UInt32*>(pData) = n;
      return noErr;
    }

    case kAudioUnitProperty_Latency:
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (!sized(sizeof(Float64))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) *static_cast<Float64*>(pData) = (double)GetLatency() / GetSampleRate();
      return noErr;

    case kAudioUnitProperty_SupportedNumChannels: {
      if (!global) return kAudioUnitErr_InvalidProperty;
      const int n = NChannelIO();
      if (!sized((UInt32)n * sizeof(AUChannelInfo))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) {
        AUChannelInfo* pInfo = static_cast<AUChannelInfo*>(pData);
        for (int i = 0; i < n; ++i) {
          int nIn = 0, nOut = 0;
          GetChannelIO(i, &nIn, &nOut);
          pInfo[i].inChannels = (SInt16)nIn;
          pInfo[i].outChannels = (SInt16)nOut;
          Trace("GetProperty", __LINE__, "IO:%d:%d", nIn, nOut);
        }
      }
      return noErr;
    }

    case kAudioUnitProperty_MaximumFramesPerSlice:
      if (!global) return kAudioUnitErr_InvalidProperty;
      *pWriteable = true;
      if (!sized(sizeof(UInt32))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) *static_cast<UInt32*>(pData) = (UInt32)GetBlockSize();
      return noErr;

    case kAudioUnitProperty_ParameterValueStrings:
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (pData && hostSize < sizeof(CFArrayRef)) {
        *pDataSize = sizeof(CFArrayRef);
        return kAudioUnitErr_InvalidPropertyValue;
      }
      return GetParamValueStrings(element, pDataSize, pData);

    case kAudioUnitProperty_GetUIComponentList: {
      if (!GetGUI()) return kAudioUnitErr_InvalidProperty;
      if (!sized(sizeof(ComponentDescription))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) {
        ComponentDescription* pDesc = static_cast<ComponentDescription*>(pData);
        pDesc->componentType = kViewComponentType;
        pDesc->componentSubType = (OSType)GetUniqueID();
        pDesc->componentManufacturer = (OSType)GetMfrID();
        pDesc->componentFlags = 0;
        pDesc->componentFlagsMask = 0;
      }
      return noErr;
    }

    case kAudioUnitProperty_AudioChannelLayout:
      return kAudioUnitErr_InvalidPropertyValue;

    case kAudioUnitProperty_TailTime:
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (GetTailSize() > 0) *pWriteable = true;
      if (!sized(sizeof(Float64))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) *static_cast<Float64*>(pData) = (double)GetTailSize() / GetSampleRate();
      return noErr;

    case kAudioUnitProperty_BypassEffect:
      if (!global) return kAudioUnitErr_InvalidProperty;
      *pWriteable = true;
      if (!sized(sizeof(UInt32))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) *static_cast<UInt32*>(pData) = IsBypassed() ? 1 : 0;
      return noErr;

    case kAudioUnitProperty_LastRenderError:
      if (!global) return kAudioUnitErr_InvalidProperty;
      if (!sized(sizeof(OSStatus))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) *static_cast<OSStatus*>(pData) = noErr;
      return noErr;

    case kAudioUnitProperty_SetRenderCallback:
      if ((!global && scope != kAudioUnitScope_Input) ||
          element >= (AudioUnitElement)mInputBuses.GetSize())
        return kAudioUnitErr_InvalidProperty;
      *pWriteable = true;
      sized(sizeof(AURenderCallbackStruct));
      return noErr;

    case kAudioUnitProperty_FactoryPresets:
      if (!sized(sizeof(CFArrayRef))) return kAudioUnitErr_InvalidPropertyValue;
      return pData ? GetFactoryPresets(static_cast<CFArrayRef*>(pData)) : noErr;

    case kAudioUnitProperty_HostCallbacks:
      if (!global) return kAudioUnitErr_InvalidProperty;
      *pWriteable = true;
      sized(sizeof(HostCallbackInfo));
      return noErr;

    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      *pWriteable = true;
      if (!sized(sizeof(AUPreset))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) {
        AUPreset* pPreset = static_cast<AUPreset*>(pData);
        const int idx = GetCurrentPresetIdx();
        pPreset->presetNumber = idx;
        pPreset->presetName = MakeCFString(GetPresetName(idx));
      }
      return noErr;

    case kAudioUnitProperty_ElementName:
      *pWriteable = false;
      if (!sized(sizeof(CFStringRef))) return kAudioUnitErr_InvalidPropertyValue;
      return GetElementName(scope, element, pData);

    case kAudioUnitProperty_CocoaUI: {
      // Cocoa view factories need 10.5 or later.
      SInt32 osVersion = 0;
      if (!GetGUI() || Gestalt(gestaltSystemVersion, &osVersion) != noErr || osVersion < 0x1050)
        return kAudioUnitErr_InvalidProperty;
      if (!sized(sizeof(AudioUnitCocoaViewInfo))) return kAudioUnitErr_InvalidPropertyValue;
      return pData ? GetCocoaUI(static_cast<AudioUnitCocoaViewInfo*>(pData)) : noErr;
    }

    case kAudioUnitProperty_SupportedChannelLayoutTags: {
      if (!IsInst() || mOutputBuses.GetSize() == 1) return kAudioUnitErr_InvalidProperty;
      const BusChannels* pBus = nullptr;
      if (scope == kAudioUnitScope_Output) {
        pBus = GetBus(scope, element);
      } else if (scope == kAudioUnitScope_Input) {
        pBus = mInputBuses.Get(0);
      }
      if (!pBus) return kAudioUnitErr_InvalidProperty;
      *pWriteable = true;
      if (!sized(sizeof(AudioChannelLayoutTag))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) {
        AudioChannelLayoutTag tag = kAudioChannelLayoutTag_Unknown;
        if (pBus->mPlugChannelCount == 1) tag = kAudioChannelLayoutTag_Mono;
        if (pBus->mPlugChannelCount == 2) tag = kAudioChannelLayoutTag_Stereo;
        *static_cast<AudioChannelLayoutTag*>(pData) = tag;
      }
      return noErr;
    }

    case kAudioUnitProperty_ParameterStringFromValue:
      if (!sized(sizeof(AudioUnitParameterStringFromValue)))
        return kAudioUnitErr_InvalidPropertyValue;
      if (!global || !pData) return noErr;
      return GetParamStringFromValue(static_cast<AudioUnitParameterStringFromValue*>(pData));

    case kAudioUnitProperty_ParameterIDName:
      if (!sized(sizeof(AudioUnitParameterIDName))) return kAudioUnitErr_InvalidPropertyValue;
      if (!global || !pData) return noErr;
      return GetParamIDName(static_cast<AudioUnitParameterIDName*>(pData));

    case kAudioUnitProperty_ParameterClumpName:
      if (!sized(sizeof(AudioUnitParameterNameInfo))) return kAudioUnitErr_InvalidPropertyValue;
      if (!global || !pData) return noErr;
      return GetParamClumpName(static_cast<AudioUnitParameterNameInfo*>(pData));

    case kAudioUnitProperty_ParameterValueFromString:
      if (!sized(sizeof(AudioUnitParameterValueFromString)))
        return kAudioUnitErr_InvalidPropertyValue;
      if (!global || !pData) return noErr;
      return GetParamValueFromString(static_cast<AudioUnitParameterValueFromString*>(pData));

    case kMusicDeviceProperty_InstrumentCount:
      if (!global || !IsInst()) return kAudioUnitErr_InvalidProperty;
      if (!sized(sizeof(UInt32))) return kAudioUnitErr_InvalidPropertyValue;
      if (pData) *static_cast<UInt32*>(pData) = 1;
      return noErr;

    default:
      return kAudioUnitErr_InvalidProperty;
  }
}

ComponentResult IPluginAU::SetProperty(AudioUnitPropertyID propID, AudioUnitScope scope,
                                       AudioUnitElement element, UInt32* /*pDataSize*/,
                                       const void* pData) {
  Trace("SetProperty", __LINE__, "(%d:%s):(%d:%s):%d", (int)propID, AUPropertyStr((int)propID),
        (int)scope, AUScopeStr((int)scope), (int)element);
  InformListeners(propID, scope);

  switch (propID) {
    case kAudioUnitProperty_ClassInfo:
      if (!pData) return kAudioUnitErr_InvalidPropertyValue;
      return SetState(*static_cast<const CFPropertyListRef*>(pData));
    case kAudioUnitProperty_MakeConnection:
      return MakeConnection(scope, static_cast<const AudioUnitConnection*>(pData));
    case kAudioUnitProperty_SampleRate: {
      if (!pData) return kAudioUnitErr_InvalidPropertyValue;
      const Float64 rate = *static_cast<const Float64*>(pData);
      // Every time the unit reports is divided by the rate; keep it a positive number.
      if (!(rate > 0.0 && rate < 1e12)) return kAudioUnitErr_InvalidPropertyValue;
      SetSampleRate(rate);
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_StreamFormat:
      return SetStreamFormat(scope, element,
                             static_cast<const AudioStreamBasicDescription*>(pData));
    case kAudioUnitProperty_MaximumFramesPerSlice: {
      if (!pData) return kAudioUnitErr_InvalidPropertyValue;
      const UInt32 frames = *static_cast<const UInt32*>(pData);
      // The scratch buffers hold frames x channels floats in an int count.
      if (frames > kMaxFramesPerSlice) return kAudioUnitErr_InvalidPropertyValue;
      SetBlockSize((int)frames);
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_BypassEffect: {
      if (!pData) return kAudioUnitErr_InvalidPropertyValue;
      mIsBypassed = *static_cast<const UInt32*>(pData) != 0;
      OnActivate(!mIsBypassed);
      Reset();
      return noErr;
    }
    case kAudioUnitProperty_SetRenderCallback:
      return SetRenderCallback(scope, element, static_cast<const AURenderCallbackStruct*>(pData));
    case kAudioUnitProperty_HostCallbacks:
      if (scope != kAudioUnitScope_Global) return kAudioUnitErr_InvalidProperty;
      if (!pData) return kAudioUnitErr_InvalidPropertyValue;
      std::memcpy(&mHostCallbacks, pData, sizeof(HostCallbackInfo));
      return noErr;
    case kAudioUnitProperty_CurrentPreset:
    case kAudioUnitProperty_PresentPreset:
      if (!pData) return kAudioUnitErr_InvalidPropertyValue;
      RestorePreset((int)static_cast<const AUPreset*>(pData)->presetNumber);
      return noErr;
    case kAudioUnitProperty_OfflineRender:
      if (!pData) return kAudioUnitErr_InvalidPropertyValue;
      mRenderingOffline = *static_cast<const UInt32*>(pData) != 0;
      return noErr;
    case kAudioUnitProperty_AUHostIdentifier: {
      if (!pData) return kAudioUnitErr_InvalidPropertyValue;
      const AUHostVersionIdentifier* pHost = static_cast<const AUHostVersionIdentifier*>(pData);
      char name[kMaxHostNameLength + 1] = "";
      // A name too long for the buffer is cut rather than dropped.
      if (pHost->hostName &&
          !CFStringGetCString(pHost->hostName, name, sizeof(name), kCFStringEncodingUTF8)) {
        CFIndex used = 0;
        CFStringGetBytes(pHost->hostName, CFRangeMake(0, CFStringGetLength(pHost->hostName)),
                         kCFStringEncodingUTF8, '?', false, (UInt8*)name, sizeof(name) - 1, &used);
        name[used] = '\0';
      }
      NumVersion v;
      std::memcpy(&v, &pHost->hostVersion, sizeof(v));
      const int version =
          (v.majorRev << 16) + ((v.minorAndBugRev & 0xF0) >> 4 << 8) + (v.minorAndBugRev & 0x0F);
      SetHost(name, version);
      OnHostIdentified();
      return noErr;
    }
    default:
      return kAudioUnitErr_InvalidProperty;
  }
}
