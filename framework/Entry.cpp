#include "framework/Entry.h"

#include "framework/EffectBase.h"

// Exported undecorated (see quavix.def), also under the name main. Nothing may
// escape into the host: any exception means no effect.
extern "C" AEffect* VSTCALLBACK VSTPluginMain(audioMasterCallback audioMaster) {
    try {
        // Without a callback there is no host to ask for its version.
        if (!audioMaster || audioMaster(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0) {
            return nullptr;
        }
        AudioEffect* effect = createEffectInstance(audioMaster);
        return effect ? effect->getAeffect() : nullptr;
    } catch (...) {
        return nullptr;
    }
}
