// The LV2 face of the plug-in's VST effect. The effect comes from
// createEffectInstance and is driven only through its record, as a VST host
// drives it, so both builds run the same code path and sound alike to the
// bit. The port values are the whole state: a host that restores them
// restores the effect.
//
// The host's real-time thread calls run; nothing there allocates, locks or
// calls the host. Everything the effect needs for a block (the channel
// pointers, the event list and its events) is sized at instantiate.
#include <lv2/atom/atom.h>
#include <lv2/buf-size/buf-size.h>
#include <lv2/core/lv2.h>
#include <lv2/midi/midi.h>
#include <lv2/options/options.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include "framework/EffectBase.h"
#include "framework/Entry.h"
#include "framework/HostEventList.h"
#include "framework/WholeRate.h"
#include "framework/lv2/Lv2Plugin.h"

namespace {

// A block rarely carries more than a handful of events; a sequence longer
// than one list goes to the effect in several, in order, so none is lost.
constexpr VstInt32 kEventsPerList = 512;
// What the effect is told when the host does not say how long its blocks
// get. The effect's processing does not depend on it.
constexpr VstInt32 kAssumedBlockLength = 4096;
constexpr uint32_t kLongestChannelMessage = 3;
constexpr uint8_t kSystemExclusive = 0xF0;
// Each event of a sequence starts on a boundary of this many bytes.
constexpr size_t kAtomAlignment = 8;

using EventList = HostEventList<kEventsPerList>;

// The effect asks for the rate from its constructor, before the adapter
// has its record; the instance being made on this thread answers then.
thread_local double rateBeingInstantiated = 0.0;

template <typename Data>
const Data* findFeature(const LV2_Feature* const* features, const char* uri) {
    for (const LV2_Feature* const* f = features; f && *f; ++f) {
        if ((*f)->URI && std::strcmp((*f)->URI, uri) == 0) {
            return static_cast<const Data*>((*f)->data);
        }
    }
    return nullptr;
}

// The host's largest block, when it gives it through the options feature.
VstInt32 blockLengthFrom(const LV2_Options_Option* options, const LV2_URID_Map* map) {
    if (!options || !map) {
        return kAssumedBlockLength;
    }
    const LV2_URID maxBlockLength = map->map(map->handle, LV2_BUF_SIZE__maxBlockLength);
    const LV2_URID atomInt = map->map(map->handle, LV2_ATOM__Int);
    for (const LV2_Options_Option* o = options; o->key != 0; ++o) {
        if (o->context == LV2_OPTIONS_INSTANCE && o->key == maxBlockLength && o->type == atomInt && o->value &&
            o->size == sizeof(int32_t)) {
            const int32_t length = *static_cast<const int32_t*>(o->value);
            return length > 0 ? length : kAssumedBlockLength;
        }
    }
    return kAssumedBlockLength;
}

VstIntPtr VSTCALLBACK answerEffect(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                   float opt);

class Instance {
public:
    // Without a map no event can be told apart, and the MIDI input stays
    // unread; a host without one cannot write a sequence anyway.
    Instance(double rate, VstInt32 blockLength, const LV2_URID_Map* map)
        : description(lv2PluginDescription()),
          sampleRate(rate),
          blockLength(blockLength),
          readsMidi(map != nullptr),
          midiEventType(map ? map->map(map->handle, LV2_MIDI__MidiEvent) : 0),
          beatTime(map ? map->map(map->handle, LV2_ATOM__beatTime) : 0),
          list() {}

    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    ~Instance() {
        if (!effect) {
            return;
        }
        if (running) {
            dispatch(effMainsChanged, 0);
        }
        dispatch(effClose);  // the effect deletes itself
    }

    // Makes the effect and readies it as a VST host does before its first
    // block; false when the effect cannot be made.
    bool start() {
        rateBeingInstantiated = sampleRate;
        AudioEffect* created = createEffectInstance(&answerEffect);
        rateBeingInstantiated = 0.0;
        if (!created) {
            return false;
        }
        effect = created->getAeffect();
        effect->user = this;
        if (effect->numInputs < 0 || effect->numOutputs < 0 || description.numControls < 0) {
            return false;
        }
        audio.assign(static_cast<size_t>(effect->numInputs) + effect->numOutputs, nullptr);
        controls.assign(description.numControls, nullptr);
        // Not a number: every control differs from it, so the first block sets them all.
        applied.assign(description.numControls, std::numeric_limits<float>::quiet_NaN());
        midiEvents.resize(kEventsPerList);
        dispatch(effOpen);
        dispatch(effSetSampleRate, 0, static_cast<float>(sampleRate));
        dispatch(effSetBlockSize, blockLength);
        dispatch(effMainsChanged, 1);
        running = true;
        return true;
    }

    double rate() const { return sampleRate; }

    void connect(uint32_t port, void* data) {
        if (port < audio.size()) {
            audio[port] = static_cast<float*>(data);
            return;
        }
        const size_t control = port - audio.size();
        if (control < controls.size()) {
            controls[control] = static_cast<const float*>(data);
        } else if (control == controls.size()) {
            midiIn = static_cast<const LV2_Atom_Sequence*>(data);
        } else if (control == controls.size() + 1) {
            reported = static_cast<float*>(data);
        }
    }

    // An activation resets everything that depends on the instance's
    // history, whatever ran since the last deactivation (a host that runs a
    // deactivated instance included): suspending clears the filter's
    // memories, resuming switches the effect on again.
    void activate() {
        dispatch(effMainsChanged, 0);
        dispatch(effMainsChanged, 1);
        running = true;
    }

    void deactivate() {
        if (running) {
            dispatch(effMainsChanged, 0);
            running = false;
        }
    }

    void run(uint32_t frames) {
        applyControls();
        passMidi(frames);
        if (frames > 0) {
            const VstInt32 blockFrames = static_cast<VstInt32>(
                std::min<uint32_t>(frames, static_cast<uint32_t>(std::numeric_limits<VstInt32>::max())));
            effect->processReplacing(effect, audio.data(), audio.data() + effect->numInputs, blockFrames);
        }
        if (reported) {
            *reported =
                toPort(description.reportedParameter, effect->getParameter(effect, description.reportedParameter));
        }
    }

private:
    VstIntPtr dispatch(VstInt32 opcode, VstIntPtr value = 0, float opt = 0.0f) {
        return effect->dispatcher(effect, opcode, 0, value, nullptr, opt);
    }

    float toParameter(int32_t index, float portValue) const {
        const Lv2ControlRange& range = description.controls[index];
        return static_cast<float>((static_cast<double>(portValue) - range.minimum) /
                                  (static_cast<double>(range.maximum) - range.minimum));
    }

    float toPort(int32_t index, float parameter) const {
        if (index < 0 || index >= description.numControls) {
            return parameter;
        }
        const Lv2ControlRange& range = description.controls[index];
        return static_cast<float>(range.minimum + (static_cast<double>(range.maximum) - range.minimum) *
                                                      static_cast<double>(parameter));
    }

    // Only a control that moved is set: a value the effect's MIDI set
    // stays until the user moves that control again.
    void applyControls() {
        for (size_t i = 0; i < controls.size(); ++i) {
            if (!controls[i]) {
                continue;
            }
            const float value = *controls[i];
            if (value == applied[i]) {
                continue;
            }
            applied[i] = value;
            const VstInt32 index = static_cast<VstInt32>(i);
            effect->setParameter(effect, index, toParameter(index, value));
        }
    }

    // The sequence's channel messages, as a VST host hands them over
    // before the block. System exclusive messages are not channel messages
    // and VST sends them as another kind of event, so they stay out. Only
    // events that lie wholly inside the size the sequence gives are read: a
    // truncated one ends it.
    void passMidi(uint32_t frames) {
        if (!midiIn || !readsMidi) {
            return;
        }
        const bool timedInFrames = midiIn->body.unit != beatTime;
        const int64_t lastFrame = frames > 0 ? static_cast<int64_t>(frames) - 1 : 0;
        const uint8_t* body = reinterpret_cast<const uint8_t*>(&midiIn->body);
        const size_t size = midiIn->atom.size;
        list.numEvents = 0;
        for (size_t offset = sizeof(LV2_Atom_Sequence_Body);
             offset <= size && size - offset >= sizeof(LV2_Atom_Event);) {
            const LV2_Atom_Event* event = reinterpret_cast<const LV2_Atom_Event*>(body + offset);
            const size_t bodySize = event->body.size;
            if (bodySize > size - offset - sizeof(LV2_Atom_Event)) {
                break;
            }
            queueMidi(*event, timedInFrames ? event->time.frames : 0, lastFrame);
            offset += sizeof(LV2_Atom_Event) + ((bodySize + kAtomAlignment - 1) & ~(kAtomAlignment - 1));
        }
        if (list.numEvents > 0) {
            sendEvents();
        }
    }

    void queueMidi(const LV2_Atom_Event& event, int64_t frame, int64_t lastFrame) {
        const uint32_t size = event.body.size;
        if (event.body.type != midiEventType || size == 0 || size > kLongestChannelMessage) {
            return;
        }
        const uint8_t* bytes = static_cast<const uint8_t*>(LV2_ATOM_BODY_CONST(&event.body));
        if (bytes[0] == kSystemExclusive) {
            return;
        }
        if (list.numEvents == kEventsPerList) {
            sendEvents();
        }
        VstMidiEvent& midi = midiEvents[list.numEvents];
        std::memset(&midi, 0, sizeof(midi));
        midi.type = kVstMidiType;
        midi.byteSize = sizeof(VstMidiEvent);
        midi.deltaFrames = static_cast<VstInt32>(frame < 0 ? 0 : frame > lastFrame ? lastFrame : frame);
        std::memcpy(midi.midiData, bytes, size);
        list.events[list.numEvents++] = reinterpret_cast<VstEvent*>(&midi);
    }

    void sendEvents() {
        effect->dispatcher(effect, effProcessEvents, 0, 0, &list, 0.0f);
        list.numEvents = 0;
    }

    const Lv2PluginDescription& description;
    const double sampleRate;
    const VstInt32 blockLength;
    const bool readsMidi;
    const LV2_URID midiEventType;
    const LV2_URID beatTime;
    AEffect* effect = nullptr;
    bool running = false;
    std::vector<float*> audio;  // the inputs, then the outputs, as processReplacing takes them
    std::vector<const float*> controls;
    std::vector<float> applied;
    const LV2_Atom_Sequence* midiIn = nullptr;
    float* reported = nullptr;
    std::vector<VstMidiEvent> midiEvents;
    EventList list;
};

// The host the effect sees: it knows its version and the rate the LV2 host
// instantiated with, and answers nothing else.
VstIntPtr VSTCALLBACK answerEffect(AEffect* effect, VstInt32 opcode, VstInt32 /*index*/, VstIntPtr /*value*/,
                                   void* /*ptr*/, float /*opt*/) {
    switch (opcode) {
    case audioMasterVersion:
        return kVstVersion;
    case audioMasterGetSampleRate: {
        const Instance* owner = effect ? static_cast<const Instance*>(effect->user) : nullptr;
        return wholeRate(owner ? owner->rate() : rateBeingInstantiated);
    }
    default:
        return 0;
    }
}

Instance* instanceOf(LV2_Handle handle) { return static_cast<Instance*>(handle); }

// The host calls these across a C boundary: no exception may leave them.
LV2_Handle instantiate(const LV2_Descriptor* /*descriptor*/, double rate, const char* /*bundlePath*/,
                       const LV2_Feature* const* features) {
    try {
        // Optional: a host that offers no features (lv2apply) still gets
        // the audio and the controls; MIDI needs the map.
        const LV2_URID_Map* map = findFeature<LV2_URID_Map>(features, LV2_URID__map);
        if (map && !map->map) {
            map = nullptr;
        }
        if (!(rate > 0.0) || !std::isfinite(rate)) {
            return nullptr;
        }
        const LV2_Options_Option* options = findFeature<LV2_Options_Option>(features, LV2_OPTIONS__options);
        std::unique_ptr<Instance> instance(new Instance(rate, blockLengthFrom(options, map), map));
        return instance->start() ? instance.release() : nullptr;
    } catch (...) {
        return nullptr;
    }
}

void connectPort(LV2_Handle handle, uint32_t port, void* data) {
    try {
        instanceOf(handle)->connect(port, data);
    } catch (...) {
    }
}

void activate(LV2_Handle handle) {
    try {
        instanceOf(handle)->activate();
    } catch (...) {
    }
}

void run(LV2_Handle handle, uint32_t frames) {
    try {
        instanceOf(handle)->run(frames);
    } catch (...) {
    }
}

void deactivate(LV2_Handle handle) {
    try {
        instanceOf(handle)->deactivate();
    } catch (...) {
    }
}

void cleanup(LV2_Handle handle) {
    try {
        delete instanceOf(handle);
    } catch (...) {
    }
}

const void* extensionData(const char* /*uri*/) { return nullptr; }

}  // namespace

LV2_SYMBOL_EXPORT const LV2_Descriptor* lv2_descriptor(uint32_t index) {
    static const LV2_Descriptor descriptor = {
        lv2PluginDescription().uri, instantiate, connectPort, activate, run, deactivate, cleanup, extensionData};
    return index == 0 ? &descriptor : nullptr;
}
