#include "lv2/LV2Description.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

#include "lv2/IPluginLV2.h"
#include "lv2/LV2Identity.h"

namespace {

constexpr char kPrefixes[] =
    "@prefix doap:  <http://usefulinc.com/ns/doap#> .\n"
    "@prefix foaf:  <http://xmlns.com/foaf/0.1/> .\n"
    "@prefix lv2:   <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts:  <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pg:    <http://lv2plug.in/ns/ext/port-groups#> .\n"
    "@prefix pset:  <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdfs:  <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui:    <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid:  <http://lv2plug.in/ns/ext/urid#> .\n\n";

std::string Uri(const char* uri) { return std::string("<") + uri + ">"; }

std::string PresetUri(int idx) {
  return Uri((std::string(kLV2PluginURI) + kLV2PresetSuffix + std::to_string(idx + 1)).c_str());
}

// A Turtle string literal.
std::string Literal(const char* text) {
  std::string out = "\"";
  for (const char* p = text; *p; ++p) {
    if (*p == '"' || *p == '\\') out += '\\';
    if (*p == '\n') {
      out += "\\n";
      continue;
    }
    out += *p;
  }
  return out + "\"";
}

// A decimal literal that Turtle reads as a number with a fraction, never as an integer.
std::string Number(double value) {
  char text[40];
  std::snprintf(text, sizeof text, "%.9g", value);
  std::string out = text;
  if (out.find_first_of(".eEn") == std::string::npos) out += ".0";
  return out;
}

std::string ControlPort(IPluginLV2* pPlug, int idx) {
  IParam* pParam = pPlug->GetParam(idx);
  std::string out = "[\n        a lv2:InputPort , lv2:ControlPort ;\n";
  out += "        lv2:index " + std::to_string(idx) + " ;\n";
  out += "        lv2:symbol " + Literal(LV2ParamSymbol(pPlug, idx).c_str()) + " ;\n";
  out += "        lv2:name " + Literal(pParam->GetNameForHost()) + " ;\n";
  out += "        lv2:default " + Number(pParam->GetDefault()) + " ;\n";
  out += "        lv2:minimum " + Number(pParam->GetMin()) + " ;\n";
  out += "        lv2:maximum " + Number(pParam->GetMax()) + " ;\n";
  switch (pParam->Type()) {
    case IParam::kTypeBool:
      out += "        lv2:portProperty lv2:toggled ;\n";
      break;
    case IParam::kTypeInt:
      out += "        lv2:portProperty lv2:integer ;\n";
      break;
    case IParam::kTypeEnum:
      out += "        lv2:portProperty lv2:integer , lv2:enumeration ;\n";
      for (int i = 0; i < pParam->GetNDisplayTexts(); ++i) {
        int value = 0;
        const char* text = pParam->GetDisplayTextAtIdx(i, &value);
        out += "        lv2:scalePoint [ rdfs:label " + Literal(text) + " ; rdf:value " +
               Number(value) + " ] ;\n";
      }
      break;
    default:
      break;
  }
  const char* label = pParam->GetLabelForHost();
  if (std::strcmp(label, "dB") == 0) {
    out += "        units:unit units:db ;\n";
  } else if (*label) {
    out += "        units:unit [ units:symbol " + Literal(label) + " ; rdfs:label " +
           Literal(label) + " ] ;\n";
  }
  out.erase(out.size() - 2);  // the last " ;"
  return out + "\n    ]";
}

std::string GroupUri(bool input) {
  return Uri((std::string(kLV2PluginURI) + (input ? kLV2InputGroupSuffix : kLV2OutputGroupSuffix))
                 .c_str());
}

// The host's bypass switch.
std::string EnabledPort(IPluginLV2* pPlug) {
  return "[\n        a lv2:InputPort , lv2:ControlPort ;\n        lv2:index " +
         std::to_string(pPlug->EnabledPort()) +
         " ;\n        lv2:symbol \"enabled\" ;\n        lv2:name \"Enabled\" ;\n"
         "        lv2:designation lv2:enabled ;\n        lv2:portProperty lv2:toggled ;\n"
         "        lv2:default 1 ;\n        lv2:minimum 0 ;\n        lv2:maximum 1\n    ]";
}

std::string AudioPort(IPluginLV2* pPlug, bool input, int channel) {
  const int index = input ? pPlug->AudioInPort(channel) : pPlug->AudioOutPort(channel);
  const int n = input ? pPlug->NInChannels() : pPlug->NOutChannels();
  std::string name = input ? "In" : "Out";
  if (n == 2) {
    name = (channel == 0 ? "Left " : "Right ") + name;
  } else {
    name += " " + std::to_string(channel + 1);
  }
  std::string out = "[\n        a lv2:";
  out += input ? "InputPort" : "OutputPort";
  out += " , lv2:AudioPort ;\n";
  out += "        lv2:index " + std::to_string(index) + " ;\n";
  out += "        lv2:symbol " + Literal(LV2AudioSymbol(pPlug, input, channel).c_str()) + " ;\n";
  out += "        lv2:name " + Literal(name.c_str());
  if (n == 2) {
    out += " ;\n        pg:group " + GroupUri(input) + " ;\n        lv2:designation " +
           (channel == 0 ? "pg:left" : "pg:right");
  }
  return out + "\n    ]";
}

std::string Join(const std::string& separator, int n, auto item) {
  std::string out;
  for (int i = 0; i < n; ++i) out += (i ? separator : std::string()) + item(i);
  return out;
}

bool WriteFile(const std::string& path, const std::string& text) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  return std::fclose(f) == 0 && ok;
}

}  // namespace

std::string LV2ParamSymbol(IPluginLV2* pPlug, int idx) {
  IParam* pParam = pPlug->GetParam(idx);
  std::string symbol;
  for (const char* p = pParam ? pParam->GetNameForHost() : ""; *p; ++p) {
    const unsigned char c = (unsigned char)*p;
    symbol += std::isalnum(c) && c < 128 ? (char)std::tolower(c) : '_';
  }
  if (symbol.empty() || std::isdigit((unsigned char)symbol[0])) symbol.insert(0, "_");
  for (int i = 0; i < idx; ++i) {
    if (LV2ParamSymbol(pPlug, i) == symbol) return symbol + "_" + std::to_string(idx);
  }
  return symbol;
}

std::string LV2AudioSymbol(IPluginLV2* pPlug, bool input, int channel) {
  const int n = input ? pPlug->NInChannels() : pPlug->NOutChannels();
  std::string symbol = input ? "in_" : "out_";
  if (n == 2) return symbol + (channel == 0 ? "l" : "r");
  return symbol + std::to_string(channel + 1);
}

std::string LV2ManifestTTL(IPluginLV2* pPlug) {
  std::string out = kPrefixes;
  out += Uri(kLV2PluginURI) + "\n    a lv2:Plugin ;\n    lv2:binary " + Uri(kLV2DSPBinary) +
         " ;\n    rdfs:seeAlso " + Uri(kLV2DescriptionFile) + " .\n\n";
  // A plug-in without an editor has no UI to advertise.
  if (pPlug->MakeEditorOnce()) {
    out += Uri(kLV2UIURI) + "\n    a ui:X11UI ;\n    ui:binary " + Uri(kLV2UIBinary) +
           " ;\n    rdfs:seeAlso " + Uri(kLV2DescriptionFile) + " .\n";
  }
  for (int i = 0; i < pPlug->NPresets(); ++i) {
    if (!pPlug->GetPreset(i)->mInitialized) continue;
    out += "\n" + PresetUri(i) + "\n    a pset:Preset ;\n    lv2:appliesTo " + Uri(kLV2PluginURI) +
           " ;\n    rdfs:seeAlso " + Uri(kLV2PresetsFile) + " .\n";
  }
  return out;
}

std::string LV2PluginTTL(IPluginLV2* pPlug) {
  int major = 0, minor = 0, revision = 0;
  GetVersionParts(pPlug->GetEffectVersion(false), &major, &minor, &revision);
  char release[32];
  std::snprintf(release, sizeof release, "%d.%d.%d", major, minor, revision);

  std::string out = kPrefixes;
  out += "@prefix rdf:   <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n\n";
  out += Uri(kLV2PluginURI) + "\n";
  out += std::string("    a lv2:Plugin , ") + (*kLV2PluginClass ? "lv2:" : "") + kLV2PluginClass +
         (*kLV2PluginClass ? " , " : "") + "doap:Project ;\n";
  out += "    doap:name " + Literal(pPlug->GetEffectName()) + " ;\n";
  out += "    doap:maintainer [ foaf:name " + Literal(pPlug->GetMfrName()) + " ] ;\n";
  out += "    doap:release [ doap:revision " + Literal(release) + " ] ;\n";
  out += "    doap:license " + Uri(kLV2LicenseURI) + " ;\n";
  out += "    rdfs:comment " + Literal(kLV2Comment) + " ;\n";
  if (pPlug->NInChannels() == 2) out += "    pg:mainInput " + GroupUri(true) + " ;\n";
  if (pPlug->NOutChannels() == 2) out += "    pg:mainOutput " + GroupUri(false) + " ;\n";
  out += "    lv2:minorVersion " + std::to_string(minor) + " ;\n";
  out += "    lv2:microVersion " + std::to_string(revision) + " ;\n";
  out += "    lv2:optionalFeature lv2:hardRTCapable , urid:map ;\n";
  out += "    lv2:extensionData state:interface ;\n";
  if (pPlug->MakeEditorOnce()) out += "    ui:ui " + Uri(kLV2UIURI) + " ;\n";
  out += "    lv2:port " +
         Join(" , ", pPlug->NParams(), [&](int i) { return ControlPort(pPlug, i); }) + " , " +
         Join(" , ", pPlug->NInChannels(), [&](int i) { return AudioPort(pPlug, true, i); }) +
         " , " +
         Join(" , ", pPlug->NOutChannels(), [&](int i) { return AudioPort(pPlug, false, i); }) +
         " , " + EnabledPort(pPlug) + " .\n\n";
  const int channels[] = {pPlug->NInChannels(), pPlug->NOutChannels()};
  for (int input = 1; input >= 0; --input) {
    if (channels[1 - input] != 2) continue;
    out += GroupUri(input) + "\n    a " + (input ? "pg:InputGroup" : "pg:OutputGroup") +
           " , pg:StereoGroup ;\n    lv2:symbol " + (input ? "\"in\"" : "\"out\"") +
           " ;\n    rdfs:label " + (input ? "\"Input\"" : "\"Output\"") + " .\n\n";
  }

  if (!pPlug->MakeEditorOnce()) return out;
  // The editor: an X11 window driven by the host's idle calls, shown either inside the
  // host's parent window or on its own through the show interface.
  out += Uri(kLV2UIURI) + "\n";
  out += "    a ui:X11UI ;\n";
  out += "    lv2:requiredFeature ui:idleInterface ;\n";
  out +=
      "    lv2:optionalFeature ui:parent , ui:resize , ui:touch , ui:noUserResize , "
      "opts:options , urid:map ;\n";
  out += "    opts:supportedOption ui:scaleFactor ;\n";
  out += "    lv2:extensionData ui:idleInterface , ui:showInterface ;\n";
  out += "    ui:portNotification " +
         Join(" , ", pPlug->NParams(),
              [&](int i) {
                return "[\n        ui:plugin " + Uri(kLV2PluginURI) + " ;\n        lv2:symbol " +
                       Literal(LV2ParamSymbol(pPlug, i).c_str()) +
                       " ;\n        ui:protocol ui:floatProtocol\n    ]";
              }) +
         " .\n";
  return out;
}

std::string LV2PresetsTTL(IPluginLV2* pPlug) {
  std::string out = kPrefixes;
  for (int i = 0; i < pPlug->NPresets(); ++i) {
    IPreset* pPreset = pPlug->GetPreset(i);
    if (!pPreset->mInitialized) continue;
    out += PresetUri(i) + "\n    a pset:Preset ;\n    lv2:appliesTo " + Uri(kLV2PluginURI) +
           " ;\n    rdfs:label " + Literal(pPreset->mName);
    // A parameter preset's chunk holds one 64-bit value per parameter; the host applies
    // them to the ports, clamped as a restore would clamp them.
    if (!pPlug->DoesStateChunks()) {
      std::string ports;
      int pos = 0;
      for (int p = 0; p < pPlug->NParams() && pos >= 0; ++p) {
        double value = 0.0;
        pos = pPreset->mChunk.Get(&value, pos);
        if (pos < 0) break;
        IParam* pParam = pPlug->GetParam(p);
        value = std::clamp(value, pParam->GetMin(), pParam->GetMax());
        ports += std::string(ports.empty() ? "" : " , ") + "[\n        lv2:symbol " +
                 Literal(LV2ParamSymbol(pPlug, p).c_str()) + " ;\n        pset:value " +
                 Number(value) + "\n    ]";
      }
      if (!ports.empty()) out += " ;\n    lv2:port " + ports;
    }
    out += " .\n\n";
  }
  return out;
}

bool WriteLV2Description(IPluginLV2* pPlug, const char* folder) {
  const std::string dir = std::string(folder) + "/";
  return WriteFile(dir + "manifest.ttl", LV2ManifestTTL(pPlug)) &&
         WriteFile(dir + kLV2DescriptionFile, LV2PluginTTL(pPlug)) &&
         WriteFile(dir + kLV2PresetsFile, LV2PresetsTTL(pPlug));
}
