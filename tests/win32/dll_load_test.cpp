// QUAVIX.dll as a host meets it: loaded by path, entered through its
// exports, read through the record's raw bytes, asked through the
// dispatcher, and bit-identical to the native build on the reference run.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/reference/ReferenceSignal.h"
#include "tests/win32/support/PluginLibrary.h"

namespace {

const char* libraryPath() {
    const char* path = std::getenv("QUAVIX_DLL");
    return path ? path : "QUAVIX.dll";
}

int versionRequests = 0;
VstIntPtr versionAnswer = kVstVersion;

VstIntPtr VSTCALLBACK countingHost(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt) {
    if (opcode == audioMasterVersion) {
        ++versionRequests;
        return versionAnswer;
    }
    return reference::host(effect, opcode, index, value, ptr, opt);
}

template <typename T>
T fieldAt(const AEffect* record, size_t offset) {
    T value;
    std::memcpy(&value, reinterpret_cast<const unsigned char*>(record) + offset, sizeof(T));
    return value;
}

class DllLoad : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(library.loaded()) << "LoadLibraryA(" << libraryPath() << ") failed, error " << library.error();
        entry = library.entry("VSTPluginMain");
        ASSERT_NE(entry, nullptr);
        versionRequests = 0;
        versionAnswer = kVstVersion;
    }
    void TearDown() override {
        if (record) {
            reference::dispatch(record, effClose);
        }
    }
    AEffect* load() {
        record = entry(&countingHost);
        return record;
    }
    std::string text(VstInt32 opcode, VstInt32 index = 0) {
        char buffer[256];
        std::memset(buffer, 0, sizeof(buffer));
        reference::dispatch(record, opcode, index, 0, buffer);
        return buffer;
    }

    PluginLibrary library{libraryPath()};
    PluginEntry entry = nullptr;
    AEffect* record = nullptr;
};

// A scanning host frees and loads the library again and again; its runtime
// would leave its exception pool behind each time, so it stays loaded.
TEST_F(DllLoad, StaysLoadedAfterTheHostFreesIt) {
    HMODULE module = nullptr;
    ASSERT_TRUE(
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(entry), &module));
    { PluginLibrary again{libraryPath()}; }
    for (int i = 0; i < 4; ++i)
        FreeLibrary(module);
    HMODULE still = nullptr;
    EXPECT_TRUE(
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCSTR>(entry), &still));
    EXPECT_EQ(module, still);
}

TEST_F(DllLoad, ExportsVSTPluginMainAndMainAsOneFunction) {
    const PluginEntry main = library.entry("main");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main, entry);
}

TEST_F(DllLoad, HostAnsweringVersionZeroGetsNothing) {
    versionAnswer = 0;
    EXPECT_EQ(load(), nullptr);
    EXPECT_EQ(versionRequests, 1);
}

// Where a host of each architecture reads each field of the record: written
// out by hand, not taken from the declaration, so that a changed member type
// or a packing pragma shows.
struct RecordOffsets {
    size_t size, dispatcher, process, setParameter, getParameter, numPrograms, numParams, numInputs, numOutputs, flags,
        resvd1, resvd2, initialDelay, realQualities, offQualities, ioRatio, object, user, uniqueID, version,
        processReplacing, processDoubleReplacing, future;
};
constexpr RecordOffsets kHostOffsets32{144, 4,  8,  12, 16, 20, 24, 28, 32, 36, 40, 44,
                                       48,  52, 56, 60, 64, 68, 72, 76, 80, 84, 88};
constexpr RecordOffsets kHostOffsets64{192, 8,  16, 24, 32, 40,  44,  48,  52,  56,  64, 72,
                                       80,  84, 88, 92, 96, 104, 112, 116, 120, 128, 136};
constexpr const RecordOffsets& kHostOffsets = sizeof(void*) == 8 ? kHostOffsets64 : kHostOffsets32;

TEST_F(DllLoad, RecordBytesAtTheirOffsets) {
    ASSERT_NE(load(), nullptr);
    const RecordOffsets& at = kHostOffsets;
    EXPECT_EQ(sizeof(AEffect), at.size);
    EXPECT_EQ(fieldAt<int32_t>(record, 0), 0x56737450);
    EXPECT_NE(fieldAt<void*>(record, at.dispatcher), nullptr);
    EXPECT_NE(fieldAt<void*>(record, at.process), nullptr);
    EXPECT_NE(fieldAt<void*>(record, at.setParameter), nullptr);
    EXPECT_NE(fieldAt<void*>(record, at.getParameter), nullptr);
    EXPECT_EQ(fieldAt<int32_t>(record, at.numPrograms), 1);
    EXPECT_EQ(fieldAt<int32_t>(record, at.numParams), 4);
    EXPECT_EQ(fieldAt<int32_t>(record, at.numInputs), 2);
    EXPECT_EQ(fieldAt<int32_t>(record, at.numOutputs), 2);
    EXPECT_EQ(fieldAt<int32_t>(record, at.flags), 0x11);
    EXPECT_EQ(fieldAt<VstIntPtr>(record, at.resvd1), 0);
    EXPECT_EQ(fieldAt<VstIntPtr>(record, at.resvd2), 0);
    EXPECT_EQ(fieldAt<int32_t>(record, at.initialDelay), 0);
    EXPECT_EQ(fieldAt<int32_t>(record, at.realQualities), 0);
    EXPECT_EQ(fieldAt<int32_t>(record, at.offQualities), 0);
    EXPECT_EQ(fieldAt<float>(record, at.ioRatio), 1.0f);
    EXPECT_NE(fieldAt<void*>(record, at.object), nullptr);
    EXPECT_EQ(fieldAt<void*>(record, at.user), nullptr);
    EXPECT_EQ(fieldAt<int32_t>(record, at.uniqueID), 0x00515658);
    EXPECT_EQ(fieldAt<int32_t>(record, at.version), 1);
    EXPECT_NE(fieldAt<void*>(record, at.processReplacing), nullptr);
    EXPECT_NE(fieldAt<void*>(record, at.processDoubleReplacing), nullptr);
    for (size_t offset = at.future; offset < at.size; ++offset) {
        EXPECT_EQ(fieldAt<unsigned char>(record, offset), 0) << "future byte " << offset;
    }
}

TEST_F(DllLoad, FlagsAnnounceAnEditorExactlyWhenThereIsOne) {
    ASSERT_NE(load(), nullptr);
    const int32_t flags = fieldAt<int32_t>(record, kHostOffsets.flags);
    // Replacing, and the editor where there is one; never the instrument bit.
    EXPECT_EQ(flags & 0x10, 0x10);
    EXPECT_EQ(flags & ~0x11, 0);
    ERect* rect = nullptr;
    const bool editorAnswers = reference::dispatch(record, effEditGetRect, 0, 0, &rect) == 1;
    EXPECT_EQ((flags & 0x1) != 0, editorAnswers);
    if (editorAnswers) {
        ASSERT_NE(rect, nullptr);
        EXPECT_GT(rect->right - rect->left, 0);
        EXPECT_GT(rect->bottom - rect->top, 0);
    }
}

TEST_F(DllLoad, DispatcherAnswers) {
    ASSERT_NE(load(), nullptr);
    EXPECT_EQ(reference::dispatch(record, effIdentify), 0x4E764566);
    EXPECT_EQ(reference::dispatch(record, effGetVstVersion), 2400);
    EXPECT_EQ(reference::dispatch(record, effGetVendorVersion), 1000);
    EXPECT_EQ(reference::dispatch(record, effGetPlugCategory), 1);
    EXPECT_EQ(reference::dispatch(record, effKeysRequired), 1);
    EXPECT_EQ(reference::dispatch(record, effGetCurrentMidiProgram), -1);
    EXPECT_EQ(reference::dispatch(record, effGetNumProgramCategories), 1);
    EXPECT_EQ(reference::dispatch(record, effSetTotalSampleToProcess, 0, 4410), 4410);
    EXPECT_EQ(reference::dispatch(record, effCanBeAutomated, 2), 1);
    EXPECT_EQ(reference::dispatch(record, effGetProgram), 0);
    char events[] = "receiveVstEvents";
    char midi[] = "receiveVstMidiEvent";
    char other[] = "receiveVstEvent";
    EXPECT_EQ(reference::dispatch(record, effCanDo, 0, 0, events), 1);
    EXPECT_EQ(reference::dispatch(record, effCanDo, 0, 0, midi), 1);
    EXPECT_EQ(reference::dispatch(record, effCanDo, 0, 0, other), 0);
    EXPECT_EQ(text(effGetEffectName), "Quavix");
    EXPECT_EQ(text(effGetVendorString), "Morvella");
    EXPECT_EQ(text(effGetProductString), "Quavix");
    EXPECT_EQ(text(effGetProgramName), "Default");
    EXPECT_EQ(text(effGetParamName, 0), "Center Frequency");
    EXPECT_EQ(text(effGetParamName, 3), "midi controller #");
    EXPECT_EQ(text(effGetParamDisplay, 0), "2300.000000");
    EXPECT_EQ(text(effGetParamDisplay, 1), "-6.02060");
    EXPECT_EQ(text(effGetParamLabel, 2), " ");
    EXPECT_EQ(reference::dispatch(record, effGetParamName, 0, 0, nullptr), 0);
}

TEST_F(DllLoad, ParametersAndProcessingThroughTheRecord) {
    ASSERT_NE(load(), nullptr);
    record->setParameter(record, 0, 0.25f);
    EXPECT_EQ(record->getParameter(record, 0), 0.25f);
    EXPECT_EQ(record->getParameter(record, 2), 0.6f);
    reference::dispatch(record, effMainsChanged, 0, 1);
    std::vector<float> left(4096, 1.0f), right(4096, 1.0f);
    float* channels[2] = {left.data(), right.data()};
    record->processReplacing(record, channels, channels, 4096);
    EXPECT_NEAR(left.back(), 0.5f, 1e-3f);  // unity at 0 Hz, times the gain
    EXPECT_NEAR(right.back(), 0.5f, 1e-3f);
}

TEST_F(DllLoad, CloseAnswersOne) {
    ASSERT_NE(load(), nullptr);
    EXPECT_EQ(reference::dispatch(record, effClose), 1);
    record = nullptr;
}

TEST_F(DllLoad, ReferenceRunIsBitIdenticalToTheNativeBuild) {
    const char* native = std::getenv("QUAVIX_NATIVE_DIGEST");
    if (!native || !*native) {
        GTEST_SKIP() << "QUAVIX_NATIVE_DIGEST is not set";
    }
    ASSERT_NE(load(), nullptr);
    const uint64_t digest = reference::renderDigest(record);
    char hex[32];
    std::snprintf(hex, sizeof(hex), "%08lx%08lx", static_cast<unsigned long>(digest >> 32),
                  static_cast<unsigned long>(digest & 0xFFFFFFFFu));
    EXPECT_EQ(std::string(hex), std::string(native));
}

}  // namespace
