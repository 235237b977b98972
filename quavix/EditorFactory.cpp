#include "quavix/EditorFactory.h"

#include <new>

#if QUAVIX_WITH_EDITOR
#include "toolkit/editor/ViewTreeEditor.h"
#include "quavix/QuavixEditor.h"
#endif

AEffEditor* createEditor(AudioEffect* effect) {
#if QUAVIX_WITH_EDITOR
    return new (std::nothrow) QuavixEditor(effect);
#else
    (void)effect;
    return nullptr;
#endif
}

void tellEditor(AEffEditor* editor, VstInt32 index, float value) {
#if QUAVIX_WITH_EDITOR
    if (AEffGUIEditor* shown = dynamic_cast<AEffGUIEditor*>(editor)) {
        shown->setParameter(index, value);
    }
#else
    (void)editor;
    (void)index;
    (void)value;
#endif
}
