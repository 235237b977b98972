// What a frame asks of whoever opened it (the plug-in's editor, or any other
// host of a view tree): the frame knows no editor class, only this.
#pragma once

#include <cstdint>

namespace VSTGUI {

class CFrameOwner {
public:
    // A user gesture on the parameter with this index starts or ends.
    virtual void beginEdit(int32_t index) = 0;
    virtual void endEdit(int32_t index) = 0;
    // Keeps the window and the host alive while a control tracks the mouse.
    virtual void pumpIdle() = 0;
    // How knobs follow the mouse, one mode for the whole process.
    virtual int32_t knobModeForFrame() const = 0;
    // Asks the host to give its window this size; false when it will not.
    virtual bool resizeHostWindow(int32_t width, int32_t height) = 0;
    // The system's display scale around the frame's window changed (the
    // window moved to another monitor, or the user changed the setting).
    virtual void systemScaleChanged() {}

protected:
    ~CFrameOwner() = default;
};

}  // namespace VSTGUI
