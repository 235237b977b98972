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
    const double factor = drawnScaleFactor();
    const PanelSize size = panelSizeAt(factor);
    const auto top = static_cast<VstInt16>(scaleCoordinate(rect.top, factor));
    const auto left = static_cast<VstInt16>(scaleCoordinate(rect.left, factor));
    deviceRect = {top, left, static_cast<VstInt16>(top + size.height), static_cast<VstInt16>(left + size.width)};
    *rectOut = &deviceRect;
    return true;
}

PanelSize AEffGUIEditor::panelSizeAt(double factor) const {
    factor = clampScaleFactor(factor);
    return {scaleCoordinate(rect.right - rect.left, factor), scaleCoordinate(rect.bottom - rect.top, factor)};
}

PanelSize AEffGUIEditor::panelSize() const { return panelSizeAt(drawnScaleFactor()); }

double AEffGUIEditor::drawnScaleFactor() const { return frame ? frame->getScaleFactor() : currentScaleFactor(); }

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
    return effectX->canHostDo(const_cast<char*>(kSizeWindowAbility)) != 0 && effectX->sizeWindow(width, height);
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
