// The minimal editor the effect base class knows: it remembers the host's
// parent window and answers every editor request as not handled.
#pragma once

#include "framework/VstInterface.h"

class AudioEffect;

class AEffEditor {
public:
    explicit AEffEditor(AudioEffect* effect) : effect(effect) {}
    AEffEditor(const AEffEditor&) = delete;
    AEffEditor& operator=(const AEffEditor&) = delete;

    virtual ~AEffEditor() {}
    virtual AudioEffect* getEffect() { return effect; }
    virtual bool getRect(ERect** rect) {
        *rect = nullptr;
        return false;
    }
    virtual bool open(void* parentWindow) {
        hostWindow = parentWindow;
        return false;
    }
    virtual void close() { hostWindow = nullptr; }
    virtual bool isOpen() { return hostWindow != nullptr; }
    virtual void idle() {}
    virtual bool onKeyDown(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onKeyUp(VstKeyCode& /*keyCode*/) { return false; }
    virtual bool onWheel(float /*distance*/) { return false; }
    virtual bool setKnobMode(VstInt32 /*mode*/) { return false; }
    // The host's display scale (1 = 100%); false from an editor drawn at one size.
    virtual bool setContentScaleFactor(float /*factor*/) { return false; }
    // The descriptor that becomes readable when the open editor's window has
    // events, for hosts that watch descriptors; -1 where there is none.
    virtual int windowEventDescriptor() { return -1; }

protected:
    AudioEffect* effect;
    void* hostWindow = nullptr;
};
