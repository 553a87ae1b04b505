#pragma once
// Packing of Component Manager calls: the instance in slot 0, then one long-sized slot per
// argument in call order.

#include <CoreServices/CoreServices.h>

#include <cstring>
#include <initializer_list>
#include <type_traits>

// Room for the largest argument list of any selector (seven for the Carbon view create).
struct ComponentParameterBlock {
  union {
    ComponentParameters header;
    struct {
      UInt8 flags;
      UInt8 paramSize;
      SInt16 what;
      UInt32 padding;
      long slots[8];
    };
  };
};

// Integers are widened to long (sign-extended when signed), so the slot reads back as the
// argument's own type or as a long; pointers and floats are copied to the slot's start.
template <typename T>
long Slot(T value) {
  static_assert(sizeof(T) <= sizeof(long), "arguments are at most one slot wide");
  if constexpr (std::is_integral_v<T> || std::is_enum_v<T>) {
    return static_cast<long>(value);
  } else {
    long slot = 0;
    std::memcpy(&slot, &value, sizeof(T));
    return slot;
  }
}

// Calls the instance's entry with the selector and arguments; badComponentInstance for an
// instance that is not open.
ComponentResult DispatchToComponent(ComponentInstance ci, SInt16 what,
                                    std::initializer_list<long> args);
