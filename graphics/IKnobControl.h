#pragma once
// Knobs: the drag and wheel behaviour shared by all knobs, and four ways of drawing one
// (frames of an image strip, a line, a rotated image, a rotated mask between two layers).

#include "graphics/IColor.h"
#include "graphics/IControl.h"

class IKnobControl : public IControl {
 public:
  static constexpr double kDefaultGearing = 4.0;

  IKnobControl(IPluginBase* pPlug, IRECT pR, int paramIdx, EDirection direction = Vertical,
               double gearing = kDefaultGearing)
      : IControl(pPlug, pR, paramIdx), mDirection(direction), mGearing(gearing) {}

  void SetGearing(double gearing) { mGearing = gearing; }
  double GetGearing() const { return mGearing; }

  // Dragging across the control's full extent changes the value by 1 / gearing; ten times
  // less with the fine modifier.
  void OnMouseDrag(int x, int y, int dX, int dY, IMouseMod* pMod) override;
  void OnMouseWheel(int x, int y, IMouseMod* pMod, int d) override;

 protected:
  EDirection mDirection;
  double mGearing;
};

// One frame of a strip of N frames, from minimum to maximum.
class IKnobMultiControl : public IKnobControl {
 public:
  IKnobMultiControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                    EDirection direction = Vertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* pGraphics) override;

 protected:
  IBitmap mBitmap;
};

// A line from the centre, pointing up at angle 0 and turning clockwise (radians).
class IKnobLineControl : public IKnobControl {
 public:
  IKnobLineControl(IPluginBase* pPlug, IRECT pR, int paramIdx, const IColor* pColor,
                   double innerRadius = 0.0, double outerRadius = 0.0,
                   double minAngle = -0.75 * 3.141592653589793,
                   double maxAngle = 0.75 * 3.141592653589793, EDirection direction = Vertical,
                   double gearing = kDefaultGearing);

  bool Draw(IGraphics* pGraphics) override;

 protected:
  IColor mColor;
  float mMinAngle, mMaxAngle, mInnerRadius, mOuterRadius;
};

// A whole image rotated about the control's centre (radians).
class IKnobRotaterControl : public IKnobControl {
 public:
  IKnobRotaterControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBitmap,
                      double minAngle = -0.75 * 3.141592653589793,
                      double maxAngle = 0.75 * 3.141592653589793, int yOffsetZeroDeg = 0,
                      EDirection direction = Vertical, double gearing = kDefaultGearing);

  bool Draw(IGraphics* pGraphics) override;

 protected:
  IBitmap mBitmap;
  double mMinAngle, mMaxAngle;
  int mYOffset;
};

// A rotating mask added over a base and covered by a top layer (degrees).
class IKnobRotatingMaskControl : public IKnobControl {
 public:
  IKnobRotatingMaskControl(IPluginBase* pPlug, int x, int y, int paramIdx, IBitmap* pBase,
                           IBitmap* pMask, IBitmap* pTop, double minAngle = -135.0,
                           double maxAngle = 135.0, EDirection direction = Vertical,
                           double gearing = kDefaultGearing);

  bool Draw(IGraphics* pGraphics) override;

 protected:
  IBitmap mBase, mMask, mTop;
  double mMinAngle, mMaxAngle;
};
