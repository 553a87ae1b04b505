#pragma once
// Recursive lock, and a scope guard for it.

#include <mutex>

class UTL_Mutex {
 public:
  void Enter() { mMutex.lock(); }
  bool TryEnter() { return mMutex.try_lock(); }
  void Leave() { mMutex.unlock(); }

 private:
  std::recursive_mutex mMutex;
};

class UTL_MutexLock {
 public:
  explicit UTL_MutexLock(UTL_Mutex* m) : mMutex(m) {
    if (mMutex) mMutex->Enter();
  }
  explicit UTL_MutexLock(UTL_Mutex& m) : UTL_MutexLock(&m) {}
  ~UTL_MutexLock() {
    if (mMutex) mMutex->Leave();
  }
  UTL_MutexLock(const UTL_MutexLock&) = delete;
  UTL_MutexLock& operator=(const UTL_MutexLock&) = delete;

 private:
  UTL_Mutex* mMutex;
};
