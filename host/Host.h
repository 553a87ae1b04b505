#pragma once
// Host library: loads component bundles and drives their units as a host does.

#include "host/AUPresetFile.h"
#include "host/HostBuffers.h"
#include "host/HostComponent.h"
#include "host/HostEditorView.h"
#include "host/HostError.h"
#include "host/HostEventLog.h"
#include "host/HostTransport.h"
#include "host/HostUnit.h"
#include "host/SafeFileWriter.h"
