#pragma once
// The plug-in framework's public interface.

#include "framework/UTL_HeapBuf.h"
#include "framework/UTL_Mutex.h"
#include "framework/UTL_PtrList.h"
#include "framework/UTL_String.h"
#include "framework/UTL_TypedBuf.h"
