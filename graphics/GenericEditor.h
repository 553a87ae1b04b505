#pragma once
// An editor for a plug-in that makes none of its own: the plug-in's name over a grid of cells,
// one per parameter in index order, each with the parameter's name, a knob (a switch for an
// on/off parameter) and its value text. A right click on a knob types a value or, for a
// parameter with display texts, picks one from a menu.
//
//   int w, h;
//   GetGenericEditorSize(NParams(), &w, &h);
//   IGraphics* pGraphics = <the platform's engine for this plug-in, w by h>;
//   AttachGenericEditor(pGraphics);
//   AttachGraphics(pGraphics);

class IGraphics;

namespace generic_editor {
constexpr int kCellW = 84;
constexpr int kCellH = 100;
constexpr int kMaxColumns = 4;
constexpr int kMargin = 8;
constexpr int kHeaderH = 24;
}  // namespace generic_editor

// The editor's size for nParams parameters: up to kMaxColumns cells a row.
void GetGenericEditorSize(int nParams, int* pW, int* pH);

// Builds the editor on an engine made at that size for its plug-in (pGraphics->GetPlug()),
// before the plug-in attaches it. Call it once per engine; null does nothing.
void AttachGenericEditor(IGraphics* pGraphics);
