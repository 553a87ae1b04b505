#pragma once
// The Orvanta effect's public interface.

#include "effect/OrvantaEffect.h"
#include "effect/OrvantaGraphics.h"
#include "effect/OrvantaWrapper.h"
