// The one place the effect meets its editor: creating it, and telling it
// about parameter changes. Everything else the editor learns through the
// effect's parameters.
#pragma once

#include "framework/VstInterface.h"

class AEffEditor;
class AudioEffect;

// A new editor for the effect, which attaches itself to it; null when the
// build has no editor or the allocation fails.
AEffEditor* createEditor(AudioEffect* effect);

// Hands a parameter change, exactly as received, to an editor that shows
// parameters; does nothing for null or for an editor that shows none.
void tellEditor(AEffEditor* editor, VstInt32 index, float value);
