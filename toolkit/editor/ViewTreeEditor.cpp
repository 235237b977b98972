#include "toolkit/editor/ViewTreeEditor.h"

#include <cmath>

#include "toolkit/views/CFrame.h"
#include "framework/ExtendedEffectBase.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/Cursor.h"
#include "toolkit/platform/FrameWindow.h"
#include "toolkit/platform/SystemServices.h"
#include "toolkit/platform/WindowGeometry.h"

using namespace VSTGUI;

namespace {
// A pump call before the next full pass is due sleeps this long, so a
// control's mouse loop polls about every 4 ms without spinning.
constexpr uint32_t kPumpSleepMs = 4;
// A full pass may run this much before it is due.
constexpr uint32_t kPumpEarlyMs = 50;
// Distance between full passes: with the early allowance, about one per 50 ms.
constexpr uint32_t kPumpIntervalMs = 100;
}  // namespace

VstInt32 AEffGUIEditor::knobMode = 0;

AEffGUIEditor::AEffGUIEditor(AudioEffect* effect) : AEffEditor(effect) {
    nextIdleTime = tickCount();
    // Attaching also announces the editor in the record's flags.
    if (effect)
        effect->setEditor(this);
    // Held for the editor's whole life, around every frame it opens.
    threadResources = acquireThreadResources(SystemUser::editor);
}

AEffGUIEditor::~AEffGUIEditor() { releaseThreadResources(SystemUser::editor, threadResources); }

bool AEffGUIEditor::getRect(ERect** rectOut) {
    if (!rectOut)
        return false;
    const double factor = frame ? frame->getScaleFactor() : currentScaleFactor();
    const auto scaled = [factor](VstInt16 value) { return static_cast<VstInt16>(scaleCoordinate(value, factor)); };
    deviceRect = {scaled(rect.top), scaled(rect.left), scaled(rect.bottom), scaled(rect.right)};
    *rectOut = &deviceRect;
    return true;
}

double AEffGUIEditor::currentScaleFactor() const {
    if (scaleOverride > 0.0)
        return clampScaleFactor(scaleOverride);
    if (hostScale > 0.0)
        return hostScale;
    return clampScaleFactor(systemScaleFactor(hostWindow));
}

bool AEffGUIEditor::setContentScaleFactor(float factor) {
    if (!(factor > 0.0f) || !std::isfinite(factor))
        return false;
    hostScale = clampScaleFactor(factor);
    if (frame)
        frame->setScaleFactor(currentScaleFactor());
    return true;
}

void AEffGUIEditor::systemScaleChanged() {
    if (frame)
        frame->setScaleFactor(currentScaleFactor());
}

int AEffGUIEditor::windowEventDescriptor() { return frame ? frameWindowEventDescriptor(frame->getSystemWindow()) : -1; }

void AEffGUIEditor::idle() {
    // A host idle sent back from inside the pump's masterIdle must not redraw.
    if (!inIdlePump && frame)
        frame->idle();
}

bool AEffGUIEditor::onKeyDown(VstKeyCode& keyCode) { return frame && frame->onKeyDown(keyCode) == 1; }

bool AEffGUIEditor::onKeyUp(VstKeyCode& keyCode) { return frame && frame->onKeyUp(keyCode) == 1; }

bool AEffGUIEditor::onWheel(float distance) {
    if (!frame)
        return false;
    CDrawContext* context = new CDrawContext(frame, hostWindow, nullptr);
    const CPoint where = context->screenToLocal(getCursorScreenPosition());
    const bool handled = frame->onWheel(context, where, distance);
    context->dropReference();
    return handled;
}

bool AEffGUIEditor::setKnobMode(VstInt32 mode) {
    knobMode = mode;
    return true;
}

void AEffGUIEditor::beginEdit(VstInt32 index) {
    if (AudioEffectX* effectX = dynamic_cast<AudioEffectX*>(effect))
        effectX->beginEdit(index);
}

void AEffGUIEditor::endEdit(VstInt32 index) {
    if (AudioEffectX* effectX = dynamic_cast<AudioEffectX*>(effect))
        effectX->endEdit(index);
}

bool AEffGUIEditor::resizeHostWindow(int32_t width, int32_t height) {
    AudioEffectX* effectX = dynamic_cast<AudioEffectX*>(effect);
    if (!effectX)
        return false;
    char request[] = "sizeWindow";
    return effectX->canHostDo(request) != 0 && effectX->sizeWindow(width, height);
}

void AEffGUIEditor::pumpIdle() {
    uint32_t now = tickCount();
    if (now < nextIdleTime) {
        sleepMilliseconds(kPumpSleepMs);
        now += kPumpSleepMs;
        if (now < nextIdleTime - kPumpEarlyMs)
            return;
    }
    idle();
    dispatchOnePendingPaint();
    nextIdleTime = now + kPumpIntervalMs;
    inIdlePump = true;
    if (effect)
        effect->masterIdle();
    inIdlePump = false;
}
