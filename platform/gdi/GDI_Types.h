#pragma once
// Handle types, records and constants of the drawing-context emulation.

struct GDI_Context;
struct GDI_Object;

typedef GDI_Context* HDC;
typedef GDI_Object* HGDIOBJ;
typedef GDI_Object* HFONT;

// Object types, also the pseudo-handle values that empty the matching slot of a context.
enum {
  GDI_OBJ_PEN = 1,
  GDI_OBJ_BRUSH = 2,
  GDI_OBJ_FONT = 3,
  GDI_OBJ_BITMAP = 4,
};
