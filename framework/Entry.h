// The plug-in's way in: the exported entry point and the one place that
// decides which effect this library makes.
#pragma once

#include "framework/VstInterface.h"

class AudioEffect;

// The entry names a host looks up. Windows exports them through the module
// definition file; elsewhere they must be visible in the shared object.
#if defined(_WIN32)
#define QUAVIX_ENTRY_POINT
#else
#define QUAVIX_ENTRY_POINT __attribute__((visibility("default")))
#endif

// Asks the host for its version, creates the effect and returns its record;
// null when the host answers 0, the effect cannot be made, or anything fails.
extern "C" QUAVIX_ENTRY_POINT AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster);

// A new effect of this library, or null when it cannot be allocated. The
// plug-in defines it: the framework knows no effect of its own.
AudioEffect* createEffectInstance(audioMasterCallback audioMaster);
