// The effect's editor: a background picture with a gain knob, two faders, three readouts
// and a version line in the bitmap font, and an invisible link area.

#include <cstring>

#include "effect/OrvantaEffect.h"
#include "effect/OrvantaGraphics.h"
#include "graphics/Graphics.h"
#include "plugin/EditorGraphics.h"

using namespace orvanta_editor;

namespace {
IRECT Rect(const LayoutRect& r) { return IRECT(r.L, r.T, r.R, r.B); }
}  // namespace

OrvantaGraphics* MakeGraphics(IPluginBase* plug, int w, int h, int fps) {
  return static_cast<OrvantaGraphics*>(MakeEditorGraphics(plug, kBundleID, w, h, fps));
}

void Orvanta::MakeEditor() {
  // A binary without an editor (an LV2 audio library) links none of it.
  if constexpr (kHasEditor) {
    IGraphics* graphics = MakeEditorGraphics(this, kBundleID, kWidth, kHeight);

    graphics->AttachBackground(kBackgroundID, kBackgroundFile);

    IBitmap knob = graphics->LoadIBitmap(kKnobID, kKnobFile, kKnobFrames, false);
    graphics->AttachControl(
        new IKnobMultiControl(this, kKnobX, kKnobY, kGain, &knob, Vertical, 4.0));

    IBitmap cap = graphics->LoadIBitmap(kFaderCapID, kFaderCapFile, 1);
    IFaderControl* mono =
        new IFaderControl(this, kMonoFaderX, kFaderTop, kFaderLength, kMono, &cap, Vertical, false);
    graphics->AttachControl(mono);
    IFaderControl* stereo = new IFaderControl(this, kStereoFaderX, kFaderTop, kFaderLength, kStereo,
                                              &cap, Vertical, false);
    graphics->AttachControl(stereo);

    IBitmap font = graphics->LoadIBitmap(kFontID, kFontFile, kFontGlyphs, true);
    IText readoutStyle(12, &COLOR_BLACK, "Arial", IText::kStyleNormal, IText::kAlignCenter, 0,
                       IText::kQualityDefault, &DEFAULT_TEXT_ENTRY_BGCOLOR,
                       &DEFAULT_TEXT_ENTRY_FGCOLOR);
    mGainText = new IBitmapTextControl(this, Rect(kGainReadoutBox), &font, "", &readoutStyle, 6, 12,
                                       0, true, false);
    graphics->AttachControl(mGainText);
    mMonoText = new IBitmapTextControl(this, Rect(kMonoReadoutBox), &font, "", &readoutStyle, 6, 12,
                                       0, true, false);
    graphics->AttachControl(mMonoText);
    mStereoText = new IBitmapTextControl(this, Rect(kStereoReadoutBox), &font, "", &readoutStyle, 6,
                                         12, 0, true, false);
    graphics->AttachControl(mStereoText);

    char version[kVersionStrSize];
    GetEffectVersionStr(version);
    IText versionStyle(12, &COLOR_BLACK, "Arial", IText::kStyleNormal, IText::kAlignFar, 0,
                       IText::kQualityDefault, &DEFAULT_TEXT_ENTRY_BGCOLOR,
                       &DEFAULT_TEXT_ENTRY_FGCOLOR);
    graphics->AttachControl(new IBitmapTextControl(this, Rect(kVersionLineBox), &font, version,
                                                   &versionStyle, 6, 12, 0, true, false));

    mLinkControl = new IURLControl(this, Rect(kLinkAreaBox), kMakerURL, nullptr, nullptr);
    // The link's rectangle crosses both fader tracks right where the handles rest at 0 dB, and
    // it lies on top of them. Only the band between the tracks, where the address is drawn,
    // takes clicks, so that a handle can be grabbed at its default value.
    mLinkControl->SetTargetArea(
        IRECT(mono->GetRECT()->R, kLinkAreaBox.T, stereo->GetRECT()->L, kLinkAreaBox.B));
    graphics->AttachControl(mLinkControl);

    AttachGraphics(graphics);
  }
}
