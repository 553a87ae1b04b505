// Record pools: dead context and object records are kept for reuse, up to a limit, under
// one recursive lock shared by both pools.

#include <cstdlib>
#include <cstring>
#include <new>
#include <unordered_set>

#include "framework/UTL_Mutex.h"
#include "platform/gdi/GDI.h"
#include "platform/gdi/GDI_Records.h"

namespace {

constexpr int kMaxPooledContexts = 100;
constexpr int kMaxPooledObjects = 200;

struct PoolState {
  UTL_Mutex m_ctxpool_mutex;
  GDI_Context* m_ctxpool = nullptr;
  int m_ctxpool_size = 0;
  GDI_Object* m_objpool = nullptr;
  int m_objpool_size = 0;
  std::unordered_set<const GDI_Context*> mLiveContexts;
  std::unordered_set<const GDI_Object*> mLiveObjects;
  bool mUnloaded = false;  // past process exit: release frees instead of pooling
};

// Created on first use and never destroyed: contexts owned by other static objects may be
// released after this file's exit handler has run. It lives in the library's own storage, not
// on the heap, so that unloading the library takes it along.
alignas(PoolState) unsigned char gStateStorage[sizeof(PoolState)];
PoolState* gState = nullptr;

PoolState& State() {
  static PoolState* state = gState = new (gStateStorage) PoolState;
  return *state;
}

// Past exit, a live set's hash buckets are freed with its last entry; they would outlive the
// library otherwise.
template <class Set>
void ReleaseEmptyAfterUnload(const PoolState& s, Set& set) {
  if (s.mUnloaded && set.empty()) Set().swap(set);
}

template <class Set, class Record>
bool MarkLive(Set& set, const Record* record) {
  try {
    set.insert(record);
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}

// At process exit, frees every pooled record.
struct GdiUnloader {
  ~GdiUnloader() {
    // A library unloaded without ever drawing has nothing to free, and must not allocate now.
    if (!gState) return;
    PoolState& s = *gState;
    UTL_MutexLock lock(s.m_ctxpool_mutex);
    while (GDI_Context* ctx = s.m_ctxpool) {
      s.m_ctxpool = ctx->mNextPooled;
      std::free(ctx);
    }
    while (GDI_Object* obj = s.m_objpool) {
      s.m_objpool = obj->mNextPooled;
      std::free(obj);
    }
    s.m_ctxpool_size = s.m_objpool_size = 0;
    s.mUnloaded = true;
    ReleaseEmptyAfterUnload(s, s.mLiveContexts);
    ReleaseEmptyAfterUnload(s, s.mLiveObjects);
  }
} _gdiUnloader;

}  // namespace

namespace gdi {

PoolLock::PoolLock() { State().m_ctxpool_mutex.Enter(); }
PoolLock::~PoolLock() { State().m_ctxpool_mutex.Leave(); }

GDI_Context* AllocContext() {
  PoolLock lock;
  PoolState& s = State();
  GDI_Context* ctx = s.m_ctxpool;
  if (ctx) {
    s.m_ctxpool = ctx->mNextPooled;
    s.m_ctxpool_size--;
  } else {
    ctx = static_cast<GDI_Context*>(std::malloc(sizeof(GDI_Context)));
    if (!ctx) return nullptr;
  }
  std::memset(ctx, 0, sizeof(*ctx));
  if (!MarkLive(s.mLiveContexts, ctx)) {
    std::free(ctx);
    return nullptr;
  }
  return ctx;
}

GDI_Object* AllocObject(int type) {
  PoolLock lock;
  PoolState& s = State();
  GDI_Object* obj = s.m_objpool;
  if (obj) {
    s.m_objpool = obj->mNextPooled;
    s.m_objpool_size--;
  } else {
    obj = static_cast<GDI_Object*>(std::malloc(sizeof(GDI_Object)));
    if (!obj) return nullptr;
  }
  std::memset(obj, 0, sizeof(*obj));
  obj->mType = type;
  if (!MarkLive(s.mLiveObjects, obj)) {
    std::free(obj);
    return nullptr;
  }
  return obj;
}

void ReleaseContext(GDI_Context* ctx) {
  PoolLock lock;
  PoolState& s = State();
  if (!s.mLiveContexts.erase(ctx)) return;
  std::memset(ctx, 0, sizeof(*ctx));
  if (s.m_ctxpool_size < kMaxPooledContexts && !s.mUnloaded) {
    ctx->mPooled = true;
    ctx->mNextPooled = s.m_ctxpool;
    s.m_ctxpool = ctx;
    s.m_ctxpool_size++;
  } else {
    std::free(ctx);
  }
  ReleaseEmptyAfterUnload(s, s.mLiveContexts);
}

void ReleaseObject(GDI_Object* obj) {
  PoolLock lock;
  PoolState& s = State();
  if (!s.mLiveObjects.erase(obj)) return;
  std::memset(obj, 0, sizeof(*obj));
  if (s.m_objpool_size < kMaxPooledObjects && !s.mUnloaded) {
    obj->mPooled = true;
    obj->mNextPooled = s.m_objpool;
    s.m_objpool = obj;
    s.m_objpool_size++;
  } else {
    std::free(obj);
  }
  ReleaseEmptyAfterUnload(s, s.mLiveObjects);
}

bool IsLiveContext(HDC ctx) {
  if (!ctx) return false;
  PoolLock lock;
  return State().mLiveContexts.count(ctx) != 0;
}

bool IsLiveObject(HGDIOBJ obj) {
  if (!obj) return false;
  PoolLock lock;
  return State().mLiveObjects.count(obj) != 0;
}

void ForEachLiveContext(void (*fn)(GDI_Context*, void*), void* user) {
  PoolLock lock;
  for (const GDI_Context* ctx : State().mLiveContexts) fn(const_cast<GDI_Context*>(ctx), user);
}

}  // namespace gdi

int GDI_GetPooledContextCount() {
  gdi::PoolLock lock;
  return State().m_ctxpool_size;
}

int GDI_GetPooledObjectCount() {
  gdi::PoolLock lock;
  return State().m_objpool_size;
}
