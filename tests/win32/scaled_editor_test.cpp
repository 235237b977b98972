// The effect's editor drawn at the scale a host, the user or the system asks
// for: the window and effEditGetRect at the scaled size, the picture made of
// that scale's bitmaps (at 1 the README's picture to the pixel), the
// read-outs' text at the scaled font size, and an open editor following the
// system's display scale unless the host or the user gave the factor.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "quavix/QuavixConfig.h"
#include "quavix/QuavixEditor.h"
#include "toolkit/controls/CParamDisplay.h"
#include "tests/editor/EditorExpectations.h"
#include "tests/editor/ScaledPanel.h"
#include "tests/win32/support/EffectUnderTest.h"
#include "tests/win32/support/HostWindow.h"
#include "tests/win32/support/MessagePump.h"
#include "tests/win32/support/NestedWindows.h"
#include "tests/win32/support/ReadoutPicture.h"
#include "tests/win32/support/WindowPixels.h"

using namespace quavix;
using namespace quavixtest;
using namespace quavixtest::expected;
using VSTGUI::CRect;

namespace {

constexpr int kHostX = 40;
constexpr int kHostY = 40;
const ReadoutLook kReadoutLook = {kReadoutFill, kReadoutOutline, 0x333333, 11, 400};

// The editor reads QUAVIX_SCALE when the effect makes it; set (or, for null,
// unset) for the life of this object, which must be made before the effect.
class UserScale {
public:
    explicit UserScale(const char* value) { set(value); }
    ~UserScale() { set(nullptr); }

private:
    static void set(const char* value) {
        const std::string assignment = std::string("QUAVIX_SCALE=") + (value ? value : "");
        _putenv(assignment.c_str());
    }
};

Picture windowPicture(HWND window) {
    const WindowPixels pixels(window);
    Picture picture;
    picture.width = pixels.width();
    picture.height = pixels.height();
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.rgb.push_back(pixels.at(x, y));
    return picture;
}

Picture sourcePng(const char* relativePath) { return readPicture(std::string(QUAVIX_SOURCE_DIR) + "/" + relativePath); }

::testing::AssertionResult sizesAre(const EffectUnderTest& plugin, int width, int height) {
    ERect* rect = nullptr;
    if (plugin.dispatch(effEditGetRect, 0, 0, &rect) != 1 || !rect)
        return ::testing::AssertionFailure() << "no rectangle from effEditGetRect";
    if (rect->right - rect->left != width || rect->bottom - rect->top != height)
        return ::testing::AssertionFailure() << "effEditGetRect says " << rect->right - rect->left << " x "
                                             << rect->bottom - rect->top << ", expected " << width << " x " << height;
    RECT client = {};
    if (plugin.frameWindow() && GetClientRect(plugin.frameWindow(), &client) &&
        (client.right != width || client.bottom != height))
        return ::testing::AssertionFailure() << "the window is " << client.right << " x " << client.bottom
                                             << ", expected " << width << " x " << height;
    return ::testing::AssertionSuccess();
}

PanelReference panelFor(const EffectUnderTest& plugin, double factor) {
    const float values[3] = {plugin.getParameter(kFrequencyParam), plugin.getParameter(kGainParam),
                             plugin.getParameter(kPeakParam)};
    return expectedPanel(QUAVIX_SOURCE_DIR "/resources", factor, values);
}

// Every region of the panel outside the read-outs' text, as the bitmaps of
// the factor's set put it together; the figures of each go to the output.
::testing::AssertionResult showsPanel(const Picture& seen, const PanelReference& panel, int tolerance,
                                      bool printFigures) {
    if (panel.picture.empty())
        return ::testing::AssertionFailure() << "no panel from the bitmaps in resources/";
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    for (const PanelReference::Region& region : panel.regions) {
        const PictureDifference difference =
            comparePictures(seen, panel.picture, region.area, panel.textAreas, tolerance);
        if (printFigures)
            std::printf("[ figures  ] %s at %g: %s\n", region.name.c_str(), panel.factor,
                        difference.describe().c_str());
        if (difference.differing && result)
            result = ::testing::AssertionFailure()
                     << region.name << " at " << panel.factor << ": " << difference.describe();
    }
    return result;
}

// The read-outs' text as GDI draws it at the scaled font size, centred in
// the scaled box, inside each read-out's outline.
::testing::AssertionResult showsTexts(const Picture& seen, const PanelReference& panel, HWND window,
                                      const std::vector<std::string>& texts) {
    std::vector<CRect> boxes(std::begin(kReadoutRects), std::end(kReadoutRects));
    boxes.push_back(kControllerReadoutRect);
    ReadoutLook look = kReadoutLook;
    look.fontHeight = deviceCoordinate(look.fontHeight, panel.factor);
    Picture expected = panel.picture;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const CRect box = deviceRect(boxes[i], panel.factor);
        const std::vector<uint32_t> readout = renderReadout(window, box.width(), box.height(), look, texts[i].c_str());
        for (int y = 0; y < box.height(); ++y)
            for (int x = 0; x < box.width(); ++x)
                expected.at(box.left + x, box.top + y) = readout[static_cast<size_t>(y) * box.width() + x];
    }
    for (size_t i = 0; i < boxes.size(); ++i) {
        const CRect& area = panel.textAreas[i];
        if (inkIn(expected, area, kReadoutFill).pixels == 0)
            return ::testing::AssertionFailure() << "no text drawn for \"" << texts[i] << "\"";
        const PictureDifference difference = comparePictures(seen, expected, area, {}, 0);
        if (difference.differing)
            return ::testing::AssertionFailure() << "read-out \"" << texts[i] << "\": " << difference.describe();
    }
    return ::testing::AssertionSuccess();
}

std::vector<std::string> readoutTexts(const EffectUnderTest& plugin) {
    char text[VSTGUI::kParamDisplayTextSize];
    std::vector<std::string> texts;
    QuavixEditor::freqToText(plugin.getParameter(kFrequencyParam), text, plugin.effect());
    texts.push_back(text);
    QuavixEditor::gainToText(plugin.getParameter(kGainParam), text, plugin.effect());
    texts.push_back(text);
    QuavixEditor::peakToText(plugin.getParameter(kPeakParam), text, plugin.effect());
    texts.push_back(text);
    QuavixEditor::controllerToText(plugin.getParameter(kControllerParam), text, plugin.effect());
    texts.push_back(text);
    return texts;
}

// ---------------------------------------------------------------- a factor at open

class ScaledEditorTest : public ::testing::TestWithParam<ScaleRow> {
protected:
    ScaledEditorTest() : userScale(GetParam().userScale), host(kHostX, kHostY, GetParam().width, GetParam().height) {}

    UserScale userScale;
    HostWindow host;
    EffectUnderTest plugin;
};

TEST_P(ScaledEditorTest, OpensAtItsSizeWithThatScalesBitmapsAndText) {
    const ScaleRow& row = GetParam();
    if (!row.userScale) {
        ASSERT_EQ(1, plugin.setHostScale(row.factor));
    }
    EXPECT_TRUE(sizesAre(plugin, row.width, row.height)) << "before open";
    ASSERT_TRUE(plugin.openAndShowEditor(host.handle()));
    EXPECT_TRUE(sizesAre(plugin, row.width, row.height)) << "once open";
    const Picture seen = windowPicture(plugin.frameWindow());
    if (row.factor == 1.0f) {
        // The README's picture, read-outs and all.
        const Picture readme = sourcePng("docs/quavix-editor.png");
        ASSERT_FALSE(readme.empty()) << "docs/quavix-editor.png is missing";
        const PictureDifference difference = comparePictures(seen, readme, wholeOf(readme), {}, 0);
        std::printf("[ figures  ] the whole window against docs/quavix-editor.png: %s\n",
                    difference.describe().c_str());
        EXPECT_EQ(0, difference.differing) << difference.describe();
    }
    const PanelReference panel = panelFor(plugin, row.factor);
    ASSERT_EQ(row.width, panel.picture.width) << "the bitmaps in resources/ are missing or of another size";
    EXPECT_TRUE(showsPanel(seen, panel, row.tolerance, true));
    EXPECT_TRUE(showsTexts(seen, panel, plugin.frameWindow(), readoutTexts(plugin)));
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledEditorTest, ::testing::ValuesIn(kScaleRows),
                         [](const ::testing::TestParamInfo<ScaleRow>& info) { return info.param.name; });

// ---------------------------------------------------------------- the system's scale

// Wine, like Windows, reads the user's display setting once, when a process
// starts; so the cases at twice the base DPI run in a process of this program
// started while the setting says so.
constexpr DWORD kBaseDpi = 96;
constexpr DWORD kTwiceTheBaseDpi = 192;
// Names the event a child signals once it runs: the setting has been read.
const char* const kChildStartedVariable = "QUAVIX_TEST_STARTED_EVENT";
constexpr DWORD kChildStartTimeoutMs = 60000;
constexpr DWORD kChildRunTimeoutMs = 200000;
// The DPI-changed messages of a top-level window and of its children.
constexpr UINT kDpiChanged = 0x02E0;
constexpr UINT kDpiChangedAfterParent = 0x02E3;

// The user's display setting (HKCU\Control Panel\Desktop, LogPixels) changed,
// and put back as it was at the latest when this goes.
class DisplaySetting {
public:
    explicit DisplaySetting(DWORD dpi) {
        if (RegCreateKeyExA(HKEY_CURRENT_USER, "Control Panel\\Desktop", 0, nullptr, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS) {
            key = nullptr;
            return;
        }
        DWORD size = sizeof(previous);
        DWORD type = 0;
        hadValue =
            RegQueryValueExA(key, kValue, nullptr, &type, reinterpret_cast<BYTE*>(&previous), &size) == ERROR_SUCCESS;
        // A value of another kind could not be put back as it was.
        if (hadValue && (type != REG_DWORD || size != sizeof(previous)))
            return;
        changed = RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&dpi), sizeof(dpi)) ==
                  ERROR_SUCCESS;
    }
    ~DisplaySetting() {
        restore();
        if (key)
            RegCloseKey(key);
    }
    DisplaySetting(const DisplaySetting&) = delete;
    DisplaySetting& operator=(const DisplaySetting&) = delete;

    bool isChanged() const { return changed; }
    void restore() {
        if (!changed)
            return;
        changed = false;
        if (hadValue)
            RegSetValueExA(key, kValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&previous), sizeof(previous));
        else
            RegDeleteValueA(key, kValue);
    }

private:
    static constexpr const char* kValue = "LogPixels";
    HKEY key = nullptr;
    DWORD previous = 0;
    bool hadValue = false;
    bool changed = false;
};

struct ChildRun {
    bool ranCases = false;  // not skipped: it found the event to signal
    int exitCode = -1;      // -1 when it did not run to its end
};

// Runs this program's cases that match the filter in a new process, its
// output joining this one's, and puts the setting back as soon as the child
// runs its first case.
ChildRun runChildProcess(const std::string& filter, DisplaySetting& setting) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const std::string eventName = "QuavixScaleTestStarted" + std::to_string(GetCurrentProcessId());
    HANDLE started = CreateEventA(nullptr, TRUE, FALSE, eventName.c_str());
    std::string command = std::string("\"") + path + "\" --gtest_filter=" + filter;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    SetEnvironmentVariableA(kChildStartedVariable, eventName.c_str());
    const BOOL made =
        CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA(kChildStartedVariable, nullptr);
    ChildRun run;
    if (made) {
        const HANDLE either[] = {started, process.hProcess};
        WaitForMultipleObjects(2, either, FALSE, kChildStartTimeoutMs);
        setting.restore();
        DWORD exitCode = 0;
        if (WaitForSingleObject(process.hProcess, kChildRunTimeoutMs) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process.hProcess, &exitCode))
            run.exitCode = static_cast<int>(exitCode);
        else
            TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    run.ranCases = WaitForSingleObject(started, 0) == WAIT_OBJECT_0;
    CloseHandle(started);
    return run;
}

TEST(SystemScaleTest, TheCasesAtTwiceTheBaseDpiPassInAProcessStartedAtIt) {
    DisplaySetting setting(kTwiceTheBaseDpi);
    ASSERT_TRUE(setting.isChanged()) << "cannot change HKCU\\Control Panel\\Desktop\\LogPixels";
    const ChildRun run = runChildProcess("AtTwiceTheBaseDpi/*", setting);
    EXPECT_TRUE(run.ranCases);
    EXPECT_EQ(0, run.exitCode);
}

// The host's windows on two displays: one at the base DPI (a window that is
// not DPI aware, which the system always shows at 96) and one at twice it
// (this process's system DPI). The host's container window, the editor's
// parent, moves from one to the other as when the user drags the host's
// window to the other monitor; its DPI follows its new parent's. Windows
// would then send the editor's window WM_DPICHANGED_AFTERPARENT (or the host
// pass on its own WM_DPICHANGED); Wine sends nothing, so the test does.
struct SystemScaleRow {
    const char* name;
    float hostFactor;       // 0: the host says nothing
    const char* userScale;  // QUAVIX_SCALE, or null
    double atTwice;         // the factor on the display at twice the base DPI
    double atBase;          // and on the one at the base DPI
    int tolerance;          // as for the pictures at open
};
const SystemScaleRow kSystemScaleRows[] = {
    {"FollowsTheSystem", 0.0f, nullptr, 2.0, 1.0, 0},
    {"KeepsTheHostsFactor", 1.5f, nullptr, 1.5, 1.5, kBetweenSetsTolerance},
    {"KeepsTheUsersFactor", 0.0f, "3", 3.0, 3.0, 0},
};

void PrintTo(const SystemScaleRow& row, std::ostream* out) { *out << row.name; }

using DpiForWindow = UINT(WINAPI*)(HWND);
using ThreadAwareness = HANDLE(WINAPI*)(HANDLE);
// DPI_AWARENESS_CONTEXT_UNAWARE
const HANDLE kUnaware = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

template <typename Function>
Function userFunction(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), name)));
}

constexpr int kLargestWidth = 990;
constexpr int kLargestHeight = 1062;

class AtTwiceTheBaseDpiTest : public ::testing::TestWithParam<SystemScaleRow> {
protected:
    AtTwiceTheBaseDpiTest() : userScale(GetParam().userScale) {}
    ~AtTwiceTheBaseDpiTest() override {
        plugin.close();
        for (HWND window : {container, baseDisplay, twiceDisplay})
            if (window)
                DestroyWindow(window);
    }

    void SetUp() override {
        char eventName[64] = {};
        if (!GetEnvironmentVariableA(kChildStartedVariable, eventName, sizeof(eventName)))
            GTEST_SKIP() << "runs in the process SystemScaleTest starts at " << kTwiceTheBaseDpi << " dpi";
        if (HANDLE started = OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName)) {
            SetEvent(started);
            CloseHandle(started);
        }
        ASSERT_NE(nullptr, dpiForWindow);
        ASSERT_NE(nullptr, threadAwareness);
        const HANDLE previous = threadAwareness(kUnaware);
        baseDisplay = makePlainWindow(nullptr, 20, 40, kLargestWidth, kLargestHeight);
        threadAwareness(previous);
        twiceDisplay = makePlainWindow(nullptr, 1030, 40, kLargestWidth, kLargestHeight);
        container = makePlainWindow(twiceDisplay, 0, 0, kLargestWidth, kLargestHeight);
        ASSERT_EQ(kBaseDpi, dpiForWindow(baseDisplay));
        ASSERT_EQ(kTwiceTheBaseDpi, dpiForWindow(twiceDisplay));
        ASSERT_EQ(kTwiceTheBaseDpi, dpiForWindow(container));
    }

    // The container under the other display's window, and the editor's
    // window told as Windows tells it.
    void moveTo(HWND display, UINT message) {
        SetParent(container, display);
        const UINT dpi = dpiForWindow(container);
        SendMessageA(plugin.frameWindow(), message, MAKEWPARAM(dpi, dpi), 0);
        pumpPendingMessages();
        plugin.idle();
        pumpPendingMessages();
    }

    ::testing::AssertionResult showsAt(double factor) const {
        const int width = deviceCoordinate(kEditorWidth, factor);
        const int height = deviceCoordinate(kEditorHeight, factor);
        ::testing::AssertionResult sized = sizesAre(plugin, width, height);
        if (!sized)
            return sized << " (container at " << dpiForWindow(container) << " dpi)";
        return showsPanel(windowPicture(plugin.frameWindow()), panelFor(plugin, factor), GetParam().tolerance, false);
    }

    const DpiForWindow dpiForWindow = userFunction<DpiForWindow>("GetDpiForWindow");
    const ThreadAwareness threadAwareness = userFunction<ThreadAwareness>("SetThreadDpiAwarenessContext");
    UserScale userScale;
    EffectUnderTest plugin;
    HWND baseDisplay = nullptr;
    HWND twiceDisplay = nullptr;
    HWND container = nullptr;
};

TEST_P(AtTwiceTheBaseDpiTest, AnOpenEditorFollowsTheDisplayUnlessTheHostOrTheUserGaveTheFactor) {
    const SystemScaleRow& row = GetParam();
    if (row.hostFactor > 0.0f) {
        ASSERT_EQ(1, plugin.setHostScale(row.hostFactor));
    }
    ASSERT_TRUE(plugin.openAndShowEditor(container));
    EXPECT_TRUE(showsAt(row.atTwice)) << "opened at " << kTwiceTheBaseDpi << " dpi";
    moveTo(baseDisplay, kDpiChangedAfterParent);
    EXPECT_TRUE(showsAt(row.atBase)) << "moved to " << kBaseDpi << " dpi";
    moveTo(twiceDisplay, kDpiChanged);
    EXPECT_TRUE(showsAt(row.atTwice)) << "moved back to " << kTwiceTheBaseDpi << " dpi";
}

INSTANTIATE_TEST_SUITE_P(AtTwiceTheBaseDpi, AtTwiceTheBaseDpiTest, ::testing::ValuesIn(kSystemScaleRows),
                         [](const ::testing::TestParamInfo<SystemScaleRow>& info) { return info.param.name; });

}  // namespace
