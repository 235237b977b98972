// vst-dispatcher: the plug-in's record as a host drives it, with every call
// decoded from the input. Dispatcher calls with any opcode, index, value
// and opt, and pointers of the right kind, of another kind, or null; texts;
// event lists of any length with events of any type, size, delta and
// bytes; parameter values no host should send; blocks of any length in any
// buffer layout; the editor opened, idled, keyed and closed over the stub
// window system. After every call the parameters read back in range and
// every gesture has ended; a block of finite input gives finite output; at
// the end a fresh instance set to the read-backs sounds the same.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "framework/VstInterface.h"
#include "platform/stub/StubWindows.h"
#include "quavix/QuavixConfig.h"
#include "tests/fuzz/FuzzHost.h"
#include "tests/fuzz/FuzzInput.h"
#include "tests/fuzz/FuzzedEffect.h"
#include "tests/fuzz/HostWindows.h"
#include "tests/fuzz/Invariant.h"
#include "tests/fuzz/StubPictures.h"

using namespace quavixfuzz;

namespace {

constexpr int kMaxSteps = 128;
// Larger than any record an opcode reads or writes through ptr.
constexpr size_t kRecordBytes = 1024;
// What hosts give for parameter texts, whatever the nominal length says.
constexpr size_t kParameterTextBytes = 256;
constexpr int32_t kMaxFrames = 4096;
constexpr int32_t kMaxEvents = 1100;  // past the most a list is examined for
constexpr int kDistinctEvents = 8;
constexpr int kDistinctSamples = 8;

// The text a call writes, and the room a host gives it.
size_t writtenTextBytes(VstInt32 opcode) {
    switch (opcode) {
    case effGetProgramName:
    case effGetProgramNameIndexed:
        return kVstMaxProgNameLen;
    case effGetEffectName:
        return kVstMaxEffectNameLen;
    case effGetVendorString:
        return kVstMaxVendorStrLen;
    case effGetProductString:
    case effShellGetNextPlugin:
        return kVstMaxProductStrLen;
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
    case effGetErrorText:
        return kParameterTextBytes;
    default:
        return 0;
    }
}

// The texts every effect writes whenever asked, terminated within the room.
bool alwaysWritesText(VstInt32 opcode) {
    return opcode == effGetProgramName || opcode == effGetEffectName || opcode == effGetVendorString ||
           opcode == effGetProductString || opcode == effGetParamLabel || opcode == effGetParamDisplay ||
           opcode == effGetParamName;
}

// Opcodes whose value is a pointer to a record, as the interface defines them.
bool valueIsPointer(VstInt32 opcode) {
    return opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement;
}

class DispatcherSequence {
public:
    explicit DispatcherSequence(FuzzInput& input) : input(input) {}

    void run() {
        effect.dispatch(effSetEditKnobMode, 0, 0);  // the knob mode is the process's: start every input alike
        for (int step = 0; step < kMaxSteps && !input.empty() && effect.isOpen(); ++step) {
            takeStep();
            if (!effect.isOpen())
                break;
            effect.requireParametersInRange(action);
            FuzzHost::instance().requireEditsClosed(action);
        }
        if (effect.isOpen())
            effect.requireMatchesFreshInstance();
    }

private:
    void takeStep() {
        switch (input.choice(6)) {
        case 0:
            callDispatcher();
            break;
        case 1:
            setParameter();
            break;
        case 2:
            processBlock();
            break;
        case 3:
            sendEvents();
            break;
        case 4:
            driveEditor();
            break;
        default:
            configure();
            break;
        }
    }

    VstInt32 anyOpcode() {
        const uint8_t kind = input.byte();
        return kind < 240 ? kind % (effGetNumMidiOutputChannels + 1) : input.i32();
    }

    VstInt32 anyIndex() {
        switch (input.choice(4)) {
        case 0:
            return input.i32();
        case 1:
            return kVstContentScaleIndex;
        default:
            return input.inRange(-2, quavix::kNumParams + 2);
        }
    }

    VstIntPtr anyValue() {
        switch (input.choice(4)) {
        case 0: {
            const uint64_t high = input.u32();
            return static_cast<VstIntPtr>(high << 32 | input.u32());
        }
        case 1:
            return kVstContentScaleValue;
        default:
            return input.inRange(-2, 130);
        }
    }

    // A host's block of kRecordBytes holding the input's bytes, its last byte 0.
    void* record() {
        std::vector<uint8_t> bytes = input.bytes(kRecordBytes - 1);
        bytes.resize(kRecordBytes, 0);
        blocks.push_back(std::move(bytes));
        return blocks.back().data();
    }

    // Zeros: a list of no events, a record of nothing.
    void* emptyRecord() {
        blocks.emplace_back(kRecordBytes, 0);
        return blocks.back().data();
    }

    // Exactly as large as a host makes it, so that a write past it is caught.
    void* textRoom(size_t size) {
        blocks.emplace_back(size, 0x7F);
        return blocks.back().data();
    }

    void* pointerFor(VstInt32 opcode) {
        const uint32_t kind = input.choice(4);
        if (kind == 0)
            return nullptr;
        const bool rightKind = kind < 3;
        if (opcode == effEditOpen)
            return rightKind ? windows.open(input) : nullptr;
        if (opcode == effProcessEvents)
            return rightKind ? eventList() : emptyRecord();
        if (rightKind && writtenTextBytes(opcode))
            return textRoom(writtenTextBytes(opcode));
        return record();  // a text for the opcodes that read one, any record for the rest
    }

    void callDispatcher() {
        const VstInt32 opcode = anyOpcode();
        const VstInt32 index = anyIndex();
        VstIntPtr value = anyValue();
        void* ptr = pointerFor(opcode);
        const float opt = input.anyFloat();
        if (valueIsPointer(opcode))
            value = input.flag() ? reinterpret_cast<VstIntPtr>(record()) : 0;
        if (opcode == effSetChunk)
            value = ptr ? value % static_cast<VstIntPtr>(kRecordBytes) : 0;
        std::snprintf(action, sizeof action, "dispatcher opcode %d", opcode);
        effect.dispatch(opcode, index, value, ptr, opt);
        if (ptr && alwaysWritesText(opcode) && blocks.back().data() == ptr)
            require(std::memchr(ptr, 0, blocks.back().size()) != nullptr, "opcode %d left its text unterminated",
                    opcode);
    }

    void setParameter() {
        const VstInt32 index = input.flag() ? input.inRange(0, quavix::kNumParams - 1) : anyIndex();
        const float value = input.anyFloat();
        std::snprintf(action, sizeof action, "setParameter(%d, %g)", index, static_cast<double>(value));
        effect.setParameter(index, value);
    }

    void processBlock() {
        const int32_t frames = input.flag() ? input.inRange(0, 64) : input.inRange(-2, kMaxFrames);
        const size_t room = static_cast<size_t>(frames > 0 ? frames : 0) + 1;
        float samples[kDistinctSamples];
        for (float& sample : samples)
            sample = input.sample();
        std::vector<float> in[2], out[2];
        bool finiteInput = true;
        for (int channel = 0; channel < 2; ++channel) {
            for (size_t frame = 0; frame < room; ++frame)
                in[channel].push_back(samples[(frame + channel) % kDistinctSamples]);
            out[channel].assign(room, 0.0f);
            for (size_t frame = 0; frame + 1 < room; ++frame)
                finiteInput = finiteInput && isFiniteFloat(in[channel][frame]);
        }
        float* inputs[] = {in[0].data(), in[1].data()};
        float* outputs[] = {out[0].data(), out[1].data()};
        float** inputList = inputs;
        float** outputList = outputs;
        switch (input.choice(6)) {
        case 1:  // in place
            outputList = inputs;
            break;
        case 2:  // crossed in place
            outputs[0] = in[1].data();
            outputs[1] = in[0].data();
            break;
        case 3:  // each output one frame past its input
            outputs[0] = in[0].data() + 1;
            outputs[1] = in[1].data() + 1;
            break;
        case 4:
            inputList = input.flag() ? nullptr : inputs;
            outputList = inputList ? nullptr : outputs;
            break;
        case 5:
            (input.flag() ? inputs : outputs)[input.choice(2)] = nullptr;
            break;
        default:
            break;
        }
        std::snprintf(action, sizeof action, "a block of %d frames", frames);
        effect.processReplacing(inputList, outputList, frames);
        if (!finiteInput || !inputList || !outputList || !outputList[0] || !outputList[1])
            return;
        for (int channel = 0; channel < 2; ++channel)
            for (int32_t frame = 0; frame < frames; ++frame)
                require(isFiniteFloat(outputList[channel][frame]), "frame %d of channel %d is %g from finite input",
                        frame, channel, static_cast<double>(outputList[channel][frame]));
    }

    VstEvent anyEvent() {
        VstMidiEvent event;
        std::memset(&event, 0, sizeof event);
        const uint32_t type = input.choice(4);
        event.type = type == 0 ? input.i32() : type == 1 ? kVstSysExMidiType : kVstMidiType;
        event.byteSize = input.flag() ? static_cast<VstInt32>(sizeof(VstMidiEvent)) : input.i32();
        event.deltaFrames = input.flag() ? input.inRange(0, 64) : input.i32();
        const uint8_t status = input.byte();
        event.midiData[0] = static_cast<char>(input.flag() ? (0xB0 | (status & 0x0F)) : status);
        event.midiData[1] = static_cast<char>(input.flag() ? 1 : input.byte());
        event.midiData[2] = static_cast<char>(input.byte());
        event.midiData[3] = static_cast<char>(input.byte());
        VstEvent plain;
        std::memcpy(&plain, &event, sizeof plain);
        return plain;
    }

    // A list as hosts lay it out: the header, then numEvents pointers.
    void* eventList() {
        const int32_t count = input.flag() ? input.inRange(0, kDistinctEvents) : input.inRange(0, kMaxEvents);
        eventStore.emplace_back();
        std::vector<VstEvent>& events = eventStore.back();
        for (int i = 0; i < kDistinctEvents; ++i)
            events.push_back(anyEvent());
        const size_t header = offsetof(VstEvents, events) / sizeof(VstIntPtr);
        std::vector<VstIntPtr> list(header + static_cast<size_t>(count) + 2, 0);
        VstEvents* events_ = reinterpret_cast<VstEvents*>(list.data());
        // Fewer than the pointers, or none: never more than the host made.
        events_->numEvents = input.flag() ? count : input.inRange(-1, count);
        for (int32_t i = 0; i < count; ++i)
            list[header + static_cast<size_t>(i)] =
                input.choice(16) == 0 ? 0
                                      : reinterpret_cast<VstIntPtr>(&events[static_cast<size_t>(i) % kDistinctEvents]);
        lists.push_back(std::move(list));
        return lists.back().data();
    }

    void sendEvents() {
        std::snprintf(action, sizeof action, "an event list");
        effect.dispatch(effProcessEvents, 0, 0, eventList());
    }

    void driveEditor() {
        switch (input.choice(6)) {
        case 0:
            std::snprintf(action, sizeof action, "opening the editor");
            effect.dispatch(effEditOpen, 0, 0, input.choice(8) ? windows.open(input) : nullptr);
            break;
        case 1:
            std::snprintf(action, sizeof action, "closing the editor");
            effect.dispatch(effEditClose);
            break;
        case 2:
            requireRectangle();
            break;
        case 3:
            effect.pressKey(input, VKEY_HELP + 2, action, sizeof action);
            break;
        case 4: {
            const float scale = input.flag() ? 1.0f + input.choice(9) * 0.25f : input.anyFloat();
            std::snprintf(action, sizeof action, "a display scale of %g", static_cast<double>(scale));
            effect.dispatch(effVendorSpecific, kVstContentScaleIndex, kVstContentScaleValue, nullptr, scale);
            break;
        }
        default:
            std::snprintf(action, sizeof action, "editor idle");
            effect.dispatch(effEditIdle);
            break;
        }
    }

    // Whenever the editor gives a rectangle, it has an area.
    void requireRectangle() {
        std::snprintf(action, sizeof action, "asking for the editor's rectangle");
        ERect* rect = nullptr;
        if (effect.dispatch(effEditGetRect, 0, 0, &rect) == 0)
            return;
        require(rect && rect->right > rect->left && rect->bottom > rect->top, "the editor's rectangle is empty");
    }

    void configure() {
        switch (input.choice(5)) {
        case 0: {
            const float rate = input.flag() ? float(input.inRange(1, 768000)) : input.anyFloat();
            std::snprintf(action, sizeof action, "a sample rate of %g", static_cast<double>(rate));
            effect.dispatch(effSetSampleRate, 0, 0, nullptr, rate);
            break;
        }
        case 1:
            std::snprintf(action, sizeof action, "a block size");
            effect.dispatch(effSetBlockSize, 0, input.i32());
            break;
        case 2:
            std::snprintf(action, sizeof action, "mains changed");
            effect.dispatch(effMainsChanged, 0, input.flag());
            break;
        case 3: {
            std::snprintf(action, sizeof action, "block size and sample rate");
            const VstInt32 size = input.i32();
            effect.dispatch(effSetBlockSizeAndSampleRate, 0, size, nullptr, input.anyFloat());
            break;
        }
        default:
            std::snprintf(action, sizeof action, "start or stop");
            effect.dispatch(input.flag() ? effStartProcess : effStopProcess);
            break;
        }
    }

    FuzzInput& input;
    // Everything the effect may still point into is declared before it.
    HostWindows windows;
    std::vector<std::vector<uint8_t>> blocks;
    std::vector<std::vector<VstEvent>> eventStore;
    std::vector<std::vector<VstIntPtr>> lists;
    FuzzedEffect effect;
    char action[96] = "making the effect";
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    registerEditorPictures();
    VSTGUI::stub::resetPointer();
    FuzzHost::instance().reset(quavix::kNumParams);
    FuzzInput input(data, size);
    DispatcherSequence(input).run();
    return 0;
}
