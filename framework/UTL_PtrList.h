#pragma once
// Growable array of owned pointers. The list itself never deletes: its owner calls
// Empty(true) or Delete(idx, true), which delete the objects (last to first).

#include "framework/UTL_HeapBuf.h"

template <class T>
class UTL_PtrList {
 public:
  UTL_PtrList() : mHeap(4096) {}

  int GetSize() const { return mHeap.GetSize() / (int)sizeof(T*); }
  T** GetList() const { return static_cast<T**>(mHeap.Get()); }
  // Null for any index outside the list.
  T* Get(int idx) const { return (idx >= 0 && idx < GetSize()) ? GetList()[idx] : nullptr; }

  // Appends; returns the item, or null when memory could not be had.
  T* Add(T* item) { return Insert(GetSize(), item); }

  // Inserts before idx (clamped into 0..size); returns the item or null on failure.
  T* Insert(int idx, T* item) {
    int n = GetSize();
    if (idx < 0) idx = 0;
    if (idx > n) idx = n;
    if (!mHeap.Resize((n + 1) * (int)sizeof(T*))) return nullptr;
    T** list = GetList();
    for (int i = n; i > idx; --i) list[i] = list[i - 1];
    list[idx] = item;
    return item;
  }

  // Index of the first occurrence, or -1.
  int Find(const T* item) const {
    for (int i = 0; i < GetSize(); ++i)
      if (GetList()[i] == item) return i;
    return -1;
  }

  // Removes one entry, closing the gap; deletes the object when asked.
  void Delete(int idx, bool deleteObject = false) {
    int n = GetSize();
    if (idx < 0 || idx >= n) return;
    T** list = GetList();
    T* item = list[idx];
    for (int i = idx; i < n - 1; ++i) list[i] = list[i + 1];
    mHeap.Resize((n - 1) * (int)sizeof(T*));
    if (deleteObject) delete item;
  }

  // Empties the list; when asked, deletes the objects from the last to the first.
  void Empty(bool deleteObjects = false) {
    if (deleteObjects) {
      for (int i = GetSize() - 1; i >= 0; --i) {
        T* item = GetList()[i];
        mHeap.Resize(i * (int)sizeof(T*));
        delete item;
      }
    }
    mHeap.Resize(0);
  }

 private:
  UTL_HeapBuf mHeap;
};
