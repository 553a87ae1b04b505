#pragma once
// How a control's drawing combines with what lies under it, and how strongly.

struct IChannelBlend {
  enum EBlendMethod { BlendNone = 0, BlendClobber = 1, BlendAdd = 2, BlendColorDodge = 3 };

  int mMethod = BlendNone;
  float mWeight = 1.0f;

  IChannelBlend() = default;
  IChannelBlend(int method, float weight = 1.0f) : mMethod(method), mWeight(weight) {}
};
