// Quavix's face: three vertical sliders (centre frequency, gain, peak) with
// read-outs under them, and a rocker switch that steps the MIDI controller
// number, with its read-out. User changes go to the effect as automated
// parameter changes; every parameter change of the effect, whatever its
// source, is copied back into the controls and drawn at the next idle.
#pragma once

#include <atomic>
#include <cstdint>

#include "toolkit/editor/ViewTreeEditor.h"
#include "toolkit/controls/CControl.h"
#include "toolkit/drawing/CColor.h"

namespace VSTGUI {
class CBitmap;
class CParamDisplay;
class CRockerSwitch;
class CVerticalSlider;
}  // namespace VSTGUI

class QuavixEditor : public AEffGUIEditor, public CControlListener {
public:
    explicit QuavixEditor(AudioEffect* effect);
    ~QuavixEditor() override;

    bool open(void* parentWindow) override;
    void close() override;
    // Any thread. Copies the effect's current value of one parameter into its
    // controls; the value passed in is not read.
    void setParameter(VstInt32 index, float value) override;
    void valueChanged(VSTGUI::CDrawContext* context, VSTGUI::CControl* control) override;
    // The rocker's own gesture is not the host's business: each step it
    // makes is reported as an edit of its own.
    void beginEdit(VstInt32 index) override;
    void endEdit(VstInt32 index) override;

    // Read-out conversions; userData is the effect the read-out belongs to.
    static void freqToText(float value, char* text, void* userData);
    static void gainToText(float value, char* text, void* userData);
    static void peakToText(float value, char* text, void* userData);
    static void controllerToText(float value, char* text, void* userData);

    bool isOpened() const { return opened.load(); }
    VSTGUI::CVerticalSlider* getSlider(VstInt32 index) const;
    VSTGUI::CParamDisplay* getDisplay(VstInt32 index) const;
    VSTGUI::CRockerSwitch* getRocker() const { return controllerRocker; }

private:
    void addSliders(VSTGUI::CBitmap* track, VSTGUI::CBitmap* handle);
    void addDisplays(VSTGUI::CBitmap* track);
    void addControllerRocker(VSTGUI::CBitmap* track, VSTGUI::CBitmap* rockerImage);
    // Below the rocker, as wide as it.
    void addControllerDisplay();
    VSTGUI::CParamDisplay* makeDisplay(const VSTGUI::CRect& rect, VstInt32 index);
    void showParameter(VstInt32 index);
    void rockerMoved(float position);
    void stepController(int32_t direction);
    float parameter(VstInt32 index) const;

    VSTGUI::CVerticalSlider* freqSlider = nullptr;
    VSTGUI::CVerticalSlider* gainSlider = nullptr;
    VSTGUI::CVerticalSlider* peakSlider = nullptr;
    VSTGUI::CParamDisplay* freqDisplay = nullptr;
    VSTGUI::CParamDisplay* gainDisplay = nullptr;
    VSTGUI::CParamDisplay* peakDisplay = nullptr;
    VSTGUI::CParamDisplay* controllerDisplay = nullptr;
    VSTGUI::CRockerSwitch* controllerRocker = nullptr;
    VSTGUI::CBitmap* background = nullptr;
    // The rocker's last position (-1, 0 or +1), and whether its press on the
    // right half has stepped up, so that the release does not step down.
    float rockerPosition = 0.0f;
    bool rockerSteppedUp = false;
    // Decides alone whether parameter changes touch the controls. Cleared by
    // close before anything is destroyed; close then waits until no
    // setParameter that saw it set is still storing (parameterWriters).
    std::atomic<bool> opened{false};
    std::atomic<int32_t> parameterWriters{0};
};

constexpr VSTGUI::CColor kDisplayFontColor = {51, 51, 51, 0};
constexpr VSTGUI::CColor kDisplayBackColor = {204, 204, 204, 0};
constexpr VSTGUI::CColor kDisplayFrameColor = {238, 238, 238, 0};
