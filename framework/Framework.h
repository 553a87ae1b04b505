#pragma once
// The plug-in framework's public interface.

#include "framework/Base64.h"
#include "framework/ByteChunk.h"
#include "framework/Hosts.h"
#include "framework/IMidiMsg.h"
#include "framework/IParam.h"
#include "framework/IPluginBase.h"
#include "framework/IPluginStructs.h"
#include "framework/IPreset.h"
#include "framework/Log.h"
#include "framework/PlugVersion.h"
#include "framework/ScopedFlushDenormals.h"
#include "framework/UTL_HeapBuf.h"
#include "framework/UTL_Mutex.h"
#include "framework/UTL_PtrList.h"
#include "framework/UTL_String.h"
#include "framework/UTL_TypedBuf.h"
