// editor-input: the panel over the stub window system, opened at a scale
// from 1 to 3 and given presses with drags, wheel turns, keys, drops,
// idles, host automation and scale changes at any position and in any
// order, as its window procedure hands them on. After every event each
// parameter reads back in 0..1, the controller a whole number 0..127, every
// begin edit has had its end edit, every slider shows its parameter, and at
// the end a fresh instance set to the read-backs sounds the same.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "framework/VstInterface.h"
#include "platform/stub/StubWindows.h"
#include "quavix/QuavixConfig.h"
#include "quavix/QuavixEditor.h"
#include "tests/fuzz/FuzzHost.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/FuzzedEffect.h"
#include "tests/fuzz/HostWindows.h"
#include "tests/fuzz/Invariant.h"
#include "tests/fuzz/StubPictures.h"
#include "toolkit/controls/CSlider.h"
#include "toolkit/drawing/CDrawContext.h"
#include "toolkit/platform/CDragContainer.h"
#include "toolkit/platform/DragEvent.h"
#include "toolkit/views/CFrame.h"

using namespace quavixfuzz;
using namespace VSTGUI;

namespace {

constexpr int kMaxEvents = 48;
constexpr int kMaxDragSteps = 12;
constexpr int kMaxDroppedItems = 3;
constexpr int32_t kOutside = 20;  // device pixels past each edge a position may lie
// A slider keeps the value the user gave; the effect's read-back may differ
// from it by its own rounding.
constexpr float kShownTolerance = 1e-6f;
constexpr int32_t kButtonBits = kButtonLeft | kButtonMiddle | kButtonRight;
constexpr int32_t kModifierBits = kModifierShift | kModifierControl | kModifierAlt;

class EditorSession {
public:
    explicit EditorSession(FuzzInput& input) : input(input) {}

    void run() {
        effect.dispatch(effSetEditKnobMode, 0, input.inRange(0, 2));
        setScale(1.0f + input.byte() / 127.5f);
        openEditor();
        for (int event = 0; event < kMaxEvents && !input.empty(); ++event) {
            takeEvent();
            requireConsistent();
        }
        effect.dispatch(effEditClose);
        effect.requireMatchesFreshInstance();
    }

private:
    QuavixEditor* editor() const { return static_cast<QuavixEditor*>(effect.editor()); }
    CFrame* frame() const { return editor() ? editor()->getFrame() : nullptr; }

    void takeEvent() {
        if (!frame()) {
            openEditor();
            return;
        }
        switch (input.choice(8)) {
        case 0:
        case 1:
            press();
            break;
        case 2:
            turnWheel();
            break;
        case 3:
            pressKey();
            break;
        case 4:
            drag();
            break;
        case 5:
            automate();
            break;
        case 6:
            setScale(input.flag() ? 1.0f + input.byte() / 127.5f : input.anyFloat());
            break;
        default:
            idleOrReopen();
            break;
        }
    }

    void openEditor() {
        std::snprintf(action, sizeof action, "opening the editor");
        effect.dispatch(effEditOpen, 0, 0, windows.open(input));
        effect.dispatch(effEditIdle);
    }

    void setScale(float factor) {
        std::snprintf(action, sizeof action, "a display scale of %g", static_cast<double>(factor));
        effect.dispatch(effVendorSpecific, kVstContentScaleIndex, kVstContentScaleValue, nullptr, factor);
    }

    // A device position on or around the window.
    CPoint devicePoint() {
        const int32_t x = input.inRange(-kOutside, frame()->getDeviceWidth() + kOutside);
        const int32_t y = input.inRange(-kOutside, frame()->getDeviceHeight() + kOutside);
        return CPoint(x, y);
    }

    CPoint screenPoint(const CPoint& device) const {
        const CRect window = stub::windowOf(frame()->getSystemWindow())->screenRect;
        return CPoint(window.left + device.x, window.top + device.y);
    }

    // A press, and the pointer's path while the control under it tracks it:
    // a few steps with the buttons held or let go, ending released.
    void press() {
        const CPoint device = devicePoint();
        int32_t buttons = input.byte() & (kButtonBits | kModifierBits);
        if (!(buttons & kButtonBits))
            buttons |= kButtonLeft;
        std::vector<stub::PointerStep> path;
        const int steps = input.inRange(0, kMaxDragSteps);
        for (int step = 0; step < steps; ++step)
            path.push_back({screenPoint(devicePoint()), input.flag() ? buttons : 0});
        path.push_back({path.empty() ? screenPoint(device) : path.back().screen, 0});
        stub::placePointer(screenPoint(device));
        stub::holdButtons(buttons);
        stub::scriptPointer(path);
        std::snprintf(action, sizeof action, "a press at (%d, %d) with buttons %d and %d steps", int(device.x),
                      int(device.y), int(buttons), steps);
        CDrawContext context(frame(), frame()->getSystemWindow(), nullptr);
        CPoint where = frame()->deviceToLocal(device);
        frame()->onMouseDown(&context, where, buttons);
        stub::resetPointer();
    }

    void turnWheel() {
        const CPoint device = devicePoint();
        const float distance = input.flag() ? (input.flag() ? 1.0f : -1.0f) : input.anyFloat();
        stub::placePointer(screenPoint(device));
        std::snprintf(action, sizeof action, "a wheel turn of %g at (%d, %d)", static_cast<double>(distance),
                      int(device.x), int(device.y));
        CDrawContext context(frame(), frame()->getSystemWindow(), nullptr);
        frame()->onWheel(&context, frame()->deviceToLocal(device), distance);
    }

    // As the host forwards keys: the character in index, the virtual key in
    // value, the modifiers in opt.
    void pressKey() { effect.pressKey(input, VKEY_HELP + 1, action, sizeof action); }

    // A drag entering, moving over and leaving or dropping on the panel.
    void drag() {
        std::vector<std::string> items;
        const int count = input.inRange(0, kMaxDroppedItems);
        for (int i = 0; i < count; ++i)
            items.push_back(input.text(64));
        CDragContainer* container = new CDragContainer(items);
        CDrawContext* context = frame()->createDrawContext();
        const int moves = input.inRange(0, 4);
        std::snprintf(action, sizeof action, "a drag of %d items with %d moves", count, moves);
        deliverDragEvent(frame(), context, container, DragEvent::enter, frame()->deviceToLocal(devicePoint()));
        for (int move = 0; move < moves; ++move)
            deliverDragEvent(frame(), context, container, DragEvent::move, frame()->deviceToLocal(devicePoint()));
        const DragEvent end = input.flag() ? DragEvent::drop : DragEvent::leave;
        deliverDragEvent(frame(), context, container, end, frame()->deviceToLocal(devicePoint()));
        if (context)
            context->dropReference();
        container->dropReference();
    }

    void automate() {
        const VstInt32 index = input.inRange(-1, quavix::kNumParams);
        const float value = input.anyFloat();
        std::snprintf(action, sizeof action, "automation of %d to %g", index, static_cast<double>(value));
        effect.setParameter(index, value);
    }

    void idleOrReopen() {
        const uint32_t what = input.choice(4);
        std::snprintf(action, sizeof action, what ? "idle" : "closing and opening the editor");
        if (what == 0) {
            effect.dispatch(effEditClose);
            openEditor();
        } else {
            effect.dispatch(effEditIdle);
        }
    }

    void requireConsistent() {
        effect.requireParametersInRange(action);
        FuzzHost::instance().requireEditsClosed(action);
        if (!frame())
            return;
        for (VstInt32 index = quavix::kFrequencyParam; index <= quavix::kPeakParam; ++index) {
            const float shown = editor()->getSlider(index)->getValue();
            const float effectValue = effect.getParameter(index);
            require(isUnit(shown), "slider %d holds %g after %s", index, static_cast<double>(shown), action);
            require(std::fabs(shown - effectValue) <= kShownTolerance, "slider %d shows %.9g, the effect %.9g after %s",
                    index, static_cast<double>(shown), static_cast<double>(effectValue), action);
        }
    }

    FuzzInput& input;
    HostWindows windows;
    FuzzedEffect effect;
    char action[128] = "making the effect";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    registerEditorPictures();
    stub::resetPointer();
    FuzzHost::instance().reset(quavix::kNumParams);
    FuzzInput input(data, size);
    EditorSession(input).run();
    return 0;
}
