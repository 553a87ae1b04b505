#pragma once
// The VST3 edit controller side: parameter descriptions and conversions, the host's handler
// that user edits are reported to, and the program list of the factory presets.

#include "vst3/VST3Base.h"

namespace vst3 {

struct ParameterInfo {
  enum ParameterFlags : int32 {
    kNoFlags = 0,
    kCanAutomate = 1 << 0,
    kIsReadOnly = 1 << 1,
    kIsList = 1 << 3,
    kIsProgramChange = 1 << 15,
    kIsBypass = 1 << 16
  };
  uint32 id;
  String128 title;
  String128 shortTitle;
  String128 units;
  int32 stepCount;
  double defaultNormalizedValue;
  int32 unitId;
  int32 flags;
};

constexpr int32 kRootUnitId = 0;
constexpr int32 kNoParentUnitId = -1;

struct UnitInfo {
  int32 id;
  int32 parentUnitId;
  String128 name;
  int32 programListId;
};

struct ProgramListInfo {
  int32 id;
  String128 name;
  int32 programCount;
};

static_assert(sizeof(ParameterInfo) == 792 &&
              offsetof(ParameterInfo, defaultNormalizedValue) == 776);
static_assert(sizeof(UnitInfo) == 268 && sizeof(ProgramListInfo) == 264);

enum RestartFlags : int32 { kParamValuesChanged = 1 << 2 };

class IComponentHandler : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x93A0BEA3, 0x0BD045DB, 0x8E890B0C, 0xC1E46AC6);
  virtual tresult beginEdit(uint32 id) = 0;
  virtual tresult performEdit(uint32 id, double valueNormalized) = 0;
  virtual tresult endEdit(uint32 id) = 0;
  virtual tresult restartComponent(int32 flags) = 0;
};

class IPlugView;

class IEditController : public IPluginBase {
 public:
  static constexpr Uid kIID = Uid::FromWords(0xDCD7BBE3, 0x7742448D, 0xA874AACC, 0x979C759E);
  virtual tresult setComponentState(IBStream* state) = 0;
  virtual tresult setState(IBStream* state) = 0;
  virtual tresult getState(IBStream* state) = 0;
  virtual int32 getParameterCount() = 0;
  virtual tresult getParameterInfo(int32 paramIndex, ParameterInfo& info) = 0;
  virtual tresult getParamStringByValue(uint32 id, double valueNormalized, String128 string) = 0;
  virtual tresult getParamValueByString(uint32 id, TChar* string, double& valueNormalized) = 0;
  virtual double normalizedParamToPlain(uint32 id, double valueNormalized) = 0;
  virtual double plainParamToNormalized(uint32 id, double plainValue) = 0;
  virtual double getParamNormalized(uint32 id) = 0;
  virtual tresult setParamNormalized(uint32 id, double value) = 0;
  virtual tresult setComponentHandler(IComponentHandler* handler) = 0;
  virtual IPlugView* createView(FIDString name) = 0;
};

class IUnitInfo : public FUnknown {
 public:
  static constexpr Uid kIID = Uid::FromWords(0x3D4BD6B5, 0x913A4FD2, 0xA886E768, 0xA5EB92C1);
  virtual int32 getUnitCount() = 0;
  virtual tresult getUnitInfo(int32 unitIndex, UnitInfo& info) = 0;
  virtual int32 getProgramListCount() = 0;
  virtual tresult getProgramListInfo(int32 listIndex, ProgramListInfo& info) = 0;
  virtual tresult getProgramName(int32 listId, int32 programIndex, String128 name) = 0;
  virtual tresult getProgramInfo(int32 listId, int32 programIndex, const char* attributeId,
                                 String128 attributeValue) = 0;
  virtual tresult hasProgramPitchNames(int32 listId, int32 programIndex) = 0;
  virtual tresult getProgramPitchName(int32 listId, int32 programIndex, int16 midiPitch,
                                      String128 name) = 0;
  virtual int32 getSelectedUnit() = 0;
  virtual tresult selectUnit(int32 unitId) = 0;
  virtual tresult getUnitByBus(int32 type, int32 dir, int32 busIndex, int32 channel,
                               int32& unitId) = 0;
  virtual tresult setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) = 0;
};

}  // namespace vst3
