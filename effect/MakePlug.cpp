// The factory the component entry calls.

#include "effect/OrvantaEffect.h"

namespace {
// Created on first use; destroyed at process exit.
UTL_Mutex& CreationLock() {
  static UTL_Mutex sLock;
  return sLock;
}
}  // namespace

OrvantaWrapper* MakePlug() {
  UTL_MutexLock lock(CreationLock());
  IPluginInstanceInfo info;
  info.mBundleID.Set("com.Quev.audiounit.Orvanta");
  info.mViewFactoryClassName.Set("Orvanta_View");
  return new Orvanta(info);
}
