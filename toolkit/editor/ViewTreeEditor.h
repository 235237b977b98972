// The editor of a view tree: owns a frame while open, reports its rectangle,
// forwards idle, keys and the wheel to the frame, passes gesture starts and
// ends to the effect, and runs the idle pump that keeps the window and the
// host alive while a control tracks the mouse in its own loop. It decides the
// scale the frame is drawn at: a factor set by the user beats the host's,
// which beats the system's display setting.
#pragma once

#include <cstdint>

#include "framework/EditorBase.h"
#include "toolkit/views/CFrameOwner.h"
#include "toolkit/platform/PlatformTypes.h"

namespace VSTGUI {
class CFrame;
}

class AEffGUIEditor : public AEffEditor, public VSTGUI::CFrameOwner {
public:
    explicit AEffGUIEditor(AudioEffect* effect);
    ~AEffGUIEditor() override;

    // The rectangle at the scale the frame is (or would be) drawn at.
    bool getRect(ERect** rect) override;
    void idle() override;
    bool onKeyDown(VstKeyCode& keyCode) override;
    bool onKeyUp(VstKeyCode& keyCode) override;
    bool onWheel(float distance) override;
    bool setKnobMode(VstInt32 mode) override;
    // Any finite positive factor is taken (clamped to 1..3); an open frame
    // follows unless the user's factor rules.
    bool setContentScaleFactor(float factor) override;
    void systemScaleChanged() override;
    int windowEventDescriptor() override;
    // The factor a frame opens at now.
    double currentScaleFactor() const;

    virtual void setParameter(VstInt32 /*index*/, float /*value*/) {}
    void beginEdit(VstInt32 index) override;
    void endEdit(VstInt32 index) override;
    void pumpIdle() override;
    int32_t knobModeForFrame() const override { return knobMode; }
    // Through the host's sizeWindow, where the host says it can.
    bool resizeHostWindow(int32_t width, int32_t height) override;

    VSTGUI::CFrame* getFrame() const { return frame; }
    // The editor-wide knob mode, one value for the whole process.
    static VstInt32 getKnobMode() { return knobMode; }

protected:
    // A factor that beats every other source, from a user's setting; 0 or
    // less for none.
    void setScaleOverride(double factor) { scaleOverride = factor; }

    ERect rect = {0, 0, 0, 0};  // in toolkit units
    uint32_t nextIdleTime = 0;
    bool inIdlePump = false;
    VSTGUI::CFrame* frame = nullptr;

private:
    static VstInt32 knobMode;
    VSTGUI::ThreadResources threadResources = nullptr;
    ERect deviceRect = {0, 0, 0, 0};
    double scaleOverride = 0.0;
    double hostScale = 0.0;
};
