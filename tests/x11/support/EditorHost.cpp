#include "tests/x11/support/EditorHost.h"

#include <X11/Xutil.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>

#include "tests/x11/support/InputScript.h"

namespace quavixtest {

namespace {

typedef AEffect*(VSTCALLBACK* PluginEntry)(audioMasterCallback host);

// After the input has been played, the release and the last moves still
// wait in the editor's queue for an idle or two.
constexpr unsigned kSettleMs = 120;
constexpr unsigned kFirstPictureMs = 100;

void sleepMs(unsigned milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

}  // namespace

RecordingHost& RecordingHost::instance() {
    static RecordingHost host;
    return host;
}

VstIntPtr VSTCALLBACK RecordingHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr, void*,
                                              float opt) {
    RecordingHost& host = instance();
    std::function<void(const HostRequest&)> observer;
    const HostRequest request{effect, opcode, index, opt};
    {
        std::lock_guard<std::mutex> lock(host.mutex);
        host.log.push_back(request);
        observer = host.onRequest;
    }
    if (observer)
        observer(request);
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate:
        return 44100;
    case audioMasterIdle:
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        return 1;
    default:
        return 0;
    }
}

std::vector<HostRequest> RecordingHost::requests(std::initializer_list<VstInt32> opcodes) const {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<HostRequest> matching;
    for (const HostRequest& request : log)
        for (VstInt32 opcode : opcodes)
            if (request.opcode == opcode)
                matching.push_back(request);
    return matching;
}

void RecordingHost::clear() {
    std::lock_guard<std::mutex> lock(mutex);
    log.clear();
}

void RecordingHost::setObserver(std::function<void(const HostRequest&)> observer) {
    std::lock_guard<std::mutex> lock(mutex);
    onRequest = std::move(observer);
}

void EditorTest::SetUp() {
    if (!std::getenv("DISPLAY"))
        GTEST_SKIP() << "DISPLAY is unset: the X11 editor tests need an X server (scripts/run/linux-tests.sh "
                        "runs them under Xvfb)";
    const char* path = std::getenv("QUAVIX_PLUGIN");
    ASSERT_NE(nullptr, path) << "QUAVIX_PLUGIN must name quavix.so";
    display = XOpenDisplay(nullptr);
    ASSERT_NE(nullptr, display) << "cannot connect to the X server " << std::getenv("DISPLAY");
    std::string error;
    ASSERT_TRUE(module.open(path, "quavix.so", error)) << error;
    const auto entry = reinterpret_cast<PluginEntry>(module.function("VSTPluginMain"));
    ASSERT_NE(nullptr, entry);
    RecordingHost::instance().clear();
    effect = entry(&RecordingHost::callback);
    ASSERT_NE(nullptr, effect);
    ASSERT_EQ(kEffectMagic, effect->magic);
    ASSERT_NE(0, effect->flags & effFlagsHasEditor);
    dispatch(effOpen);
    dispatch(effSetSampleRate);
    ASSERT_TRUE(readEditorRect());
}

bool EditorTest::readEditorRect() {
    ERect* rect = nullptr;
    if (dispatch(effEditGetRect, 0, 0, &rect) != 1 || !rect)
        return false;
    editorWidth = rect->right - rect->left;
    editorHeight = rect->bottom - rect->top;
    return editorWidth > 0 && editorHeight > 0;
}

VstIntPtr EditorTest::tellScale(float factor) {
    const VstIntPtr answer =
        effect->dispatcher(effect, effVendorSpecific, kVstContentScaleIndex, kVstContentScaleValue, nullptr, factor);
    readEditorRect();
    return answer;
}

void EditorTest::TearDown() {
    RecordingHost::instance().setObserver(nullptr);
    if (effect) {
        closeEditor();
        dispatch(effClose);
        effect = nullptr;
    }
    module.close();
    if (display) {
        if (hostWindow)
            XDestroyWindow(display, hostWindow);
        XCloseDisplay(display);
    }
}

VstIntPtr EditorTest::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr) const {
    return effect->dispatcher(effect, opcode, index, value, ptr, opcode == effSetSampleRate ? 44100.0f : 0.0f);
}

bool EditorTest::openEditor() {
    if (!hostWindow) {
        // Borderless and at a known place, so that screen points are known.
        XSetWindowAttributes attributes = {};
        attributes.override_redirect = True;
        attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
        hostWindow =
            XCreateWindow(display, DefaultRootWindow(display), kHostX, kHostY, editorWidth, editorHeight, 0,
                          CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
        XMapRaised(display, hostWindow);
        XSync(display, False);
    }
    if (dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(static_cast<uintptr_t>(hostWindow))) != 1)
        return false;
    editorOpen = true;
    XSync(display, False);
    idleFor(kFirstPictureMs);
    return true;
}

void EditorTest::closeEditor() {
    if (editorOpen)
        dispatch(effEditClose);
    editorOpen = false;
}

void EditorTest::idle() {
    dispatch(effEditIdle);
    while (XPending(display)) {
        XEvent event;
        XNextEvent(display, &event);
    }
}

void EditorTest::idleFor(unsigned milliseconds) {
    for (unsigned waited = 0; waited < milliseconds; waited += kIdleMs) {
        idle();
        sleepMs(kIdleMs);
    }
    idle();
}

bool EditorTest::play(const InputScript& script) {
    const bool played = playWhileIdling(
        script, [this] { idle(); }, kIdleMs);
    idleFor(kSettleMs);
    return played;
}

Window EditorTest::editorWindow() const {
    Window root = 0, parent = 0, *children = nullptr;
    unsigned count = 0;
    Window found = 0;
    if (hostWindow && XQueryTree(display, hostWindow, &root, &parent, &children, &count) && count > 0)
        found = children[count - 1];
    if (children)
        XFree(children);
    return found;
}

void EditorTest::editorWindowSize(int& width, int& height) const {
    width = height = 0;
    const Window window = editorWindow();
    Window root = 0;
    int x = 0, y = 0;
    unsigned w = 0, h = 0, border = 0, depth = 0;
    if (window && XGetGeometry(display, window, &root, &x, &y, &w, &h, &border, &depth)) {
        width = static_cast<int>(w);
        height = static_cast<int>(h);
    }
}

Pixels windowPixels(Display* display, Window window, int width, int height) {
    Pixels pixels;
    XImage* image = XGetImage(display, window, 0, 0, width, height, AllPlanes, ZPixmap);
    if (!image)
        return pixels;
    pixels.width = width;
    pixels.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.rgb.push_back(static_cast<uint32_t>(XGetPixel(image, x, y)) & 0xFFFFFFu);
    XDestroyImage(image);
    return pixels;
}

Pixels EditorTest::seen() const { return windowPixels(display, hostWindow, editorWidth, editorHeight); }

std::vector<HostRequest> EditorTest::edits() const {
    return RecordingHost::instance().requests({audioMasterAutomate, audioMasterBeginEdit, audioMasterEndEdit});
}

std::vector<float> EditorTest::automatedValues(VstInt32 index) const {
    std::vector<float> values;
    for (const HostRequest& request : RecordingHost::instance().requests({audioMasterAutomate}))
        if (request.index == index)
            values.push_back(request.value);
    return values;
}

}  // namespace quavixtest
