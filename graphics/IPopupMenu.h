#pragma once
// Platform-neutral model of a context menu. The platform shows it and writes the user's choice
// into mChosenItemIdx of the menu (or submenu) chosen from.

#include "framework/UTL_PtrList.h"
#include "framework/UTL_String.h"

class IPopupMenu;

class IPopupMenuItem {
 public:
  enum Flags {
    kNoFlags = 0,
    kDisabled = 1 << 0,
    kTitle = 1 << 1,  // shown indented by one level
    kChecked = 1 << 2,
    kSeparator = 1 << 3
  };

  IPopupMenuItem(const char* text, int flags = kNoFlags) : mText(text), mFlags(flags) {}
  IPopupMenuItem(const char* text, IPopupMenu* pSubmenu) : mText(text), mSubmenu(pSubmenu) {}

  void SetChecked(bool state) { mFlags = state ? (mFlags | kChecked) : (mFlags & ~kChecked); }
  bool GetChecked() const { return (mFlags & kChecked) != 0; }
  bool GetEnabled() const { return (mFlags & kDisabled) == 0; }
  bool GetIsTitle() const { return (mFlags & kTitle) != 0; }
  bool GetIsSeparator() const { return (mFlags & kSeparator) != 0; }
  const char* GetText() const { return mText.Get(); }
  IPopupMenu* GetSubmenu() const { return mSubmenu; }
  int GetFlags() const { return mFlags; }

 private:
  UTL_String mText;
  IPopupMenu* mSubmenu = nullptr;  // not owned
  int mFlags = kNoFlags;
};

class IPopupMenu {
 public:
  IPopupMenu() = default;
  IPopupMenu(const IPopupMenu&) = delete;
  IPopupMenu& operator=(const IPopupMenu&) = delete;
  // Deletes the items; submenus belong to whoever made them.
  ~IPopupMenu() { mMenuItems.Empty(true); }

  // index -1 appends; any other index is clamped into 0..count. The menu owns the item.
  IPopupMenuItem* AddItem(IPopupMenuItem* pItem, int index = -1);
  IPopupMenuItem* AddItem(const char* text, int index = -1, int flags = IPopupMenuItem::kNoFlags);
  IPopupMenuItem* AddItem(const char* text, int index, IPopupMenu* pSubmenu);
  IPopupMenuItem* AddItem(const char* text, IPopupMenu* pSubmenu);
  IPopupMenuItem* AddSeparator(int index = -1);

  int GetNItems() const { return mMenuItems.GetSize(); }
  IPopupMenuItem* GetItem(int index) const { return mMenuItems.Get(index); }
  const char* GetItemText(int index) const { return mMenuItems.Get(index)->GetText(); }

  int GetPrefix() const { return mPrefix; }
  // Accepts 0 (none), 1 "%1d: ", 2 "%02d: ", 3 "%03d: "; anything else is ignored.
  void SetPrefix(int prefix) {
    if ((unsigned)prefix <= 3u) mPrefix = prefix;
  }

  int GetChosenItemIdx() const { return mChosenItemIdx; }
  void SetChosenItemIdx(int index) { mChosenItemIdx = index; }

  bool CheckItem(int index, bool state);
  void CheckItemAlone(int index);
  bool IsItemChecked(int index) const;

 private:
  int mPrefix = 0;
  int mChosenItemIdx = -1;
  UTL_PtrList<IPopupMenuItem> mMenuItems;
};
