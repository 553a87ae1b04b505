#pragma once
// Core Services subset for Linux: the Component Manager and system information.

#include <CoreFoundation/CoreFoundation.h>
#include <CoreServices/Components.h>
