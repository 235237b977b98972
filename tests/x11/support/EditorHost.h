// The host's side of the Linux editor, as a host drives it: quavix.so loaded
// with dlopen, its record made through VSTPluginMain with a callback that
// records every request, a top-level X window on the test's own connection
// as the editor's parent, and effEditIdle from the test's thread about every
// 20 ms. The editor reads its X events only inside that idle, so real input
// is played on a thread of its own while this one idles.
#pragma once

// gtest before Xlib, whose macros (None, Bool, Status) would break it.
#include <gtest/gtest.h>
#include <X11/Xlib.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <mutex>
#include <vector>

#include "framework/VstInterface.h"
#include "tests/editor/ScaledPanel.h"
#include "tools/hosting/PluginModule.h"

namespace quavixtest {

class InputScript;

struct HostRequest {
    AEffect* effect;
    VstInt32 opcode;
    VstInt32 index;
    float value;
};

// One recorder for the process: the callback has no other state to reach.
// It answers audioMasterIdle (which the editor sends from inside a control's
// mouse loop) and calls nothing back into the plug-in.
class RecordingHost {
public:
    static RecordingHost& instance();
    static VstIntPtr VSTCALLBACK callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float opt);
    std::vector<HostRequest> requests(std::initializer_list<VstInt32> opcodes) const;
    void clear();
    // Called on the requesting thread after the request is logged.
    void setObserver(std::function<void(const HostRequest&)> observer);

private:
    mutable std::mutex mutex;
    std::vector<HostRequest> log;
    std::function<void(const HostRequest&)> onRequest;
};

// What the host window shows, as 0xRRGGBB.
using Pixels = Picture;
// The top-left width x height pixels of a window.
Pixels windowPixels(Display* display, Window window, int width, int height);

// quavix.so from QUAVIX_PLUGIN, one instance, its editor on a host window.
class EditorTest : public ::testing::Test {
protected:
    static constexpr int kHostX = 80;
    static constexpr int kHostY = 60;
    static constexpr unsigned kIdleMs = 20;

    void SetUp() override;
    void TearDown() override;

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr) const;
    // The host's display scale, as a host tells it before it opens the editor:
    // the vendor request with the factor in opt. The editor's size is read
    // again; the plug-in's answer is returned.
    VstIntPtr tellScale(float factor);
    // effEditGetRect's size into editorWidth and editorHeight.
    bool readEditorRect();
    void setParameter(VstInt32 index, float value) const { effect->setParameter(effect, index, value); }
    float getParameter(VstInt32 index) const { return effect->getParameter(effect, index); }

    // effEditOpen on the host window (made at the editor's size on first use),
    // then idles a few times so that the first picture is drawn.
    bool openEditor();
    void closeEditor();
    // One effEditIdle, then the host's own events are read and dropped.
    void idle();
    void idleFor(unsigned milliseconds);
    // Plays the script on a thread with its own connection and idles here
    // until it has finished, then a little longer for the last events.
    bool play(const InputScript& script);

    // The window the editor made inside the host window, or None.
    Window editorWindow() const;
    // Its size; 0 x 0 without one.
    void editorWindowSize(int& width, int& height) const;
    Pixels seen() const;
    std::vector<HostRequest> edits() const;
    std::vector<float> automatedValues(VstInt32 index) const;

    Display* display = nullptr;
    Window hostWindow = 0;
    AEffect* effect = nullptr;
    int editorWidth = 0;
    int editorHeight = 0;

private:
    PluginModule module;
    bool editorOpen = false;
};

}  // namespace quavixtest
