#include "framework/clap/ClapInstance.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <new>

namespace {

// The most parameters whose values the tail is computed from; a table
// that long would be read only in part.
constexpr int32_t kMaxTailParameters = 64;
// The tail asked of an instance no host has activated yet: the rate most
// sessions run at.
constexpr double kRateBeforeActivation = 48000.0;

template <typename Extension>
const Extension* hostExtension(const clap_host_t* host, const char* id) {
    return host->get_extension ? static_cast<const Extension*>(host->get_extension(host, id)) : nullptr;
}

// The first stereo buffer of a list, as its two channels; false when the
// host gave none it could be.
bool stereoChannels(const clap_audio_buffer_t* buffers, uint32_t count, float** channels) {
    if (!buffers || count == 0 || !buffers[0].data32 || buffers[0].channel_count < 2) {
        return false;
    }
    channels[0] = buffers[0].data32[0];
    channels[1] = buffers[0].data32[1];
    return channels[0] && channels[1];
}

clap_event_header_t eventHeader(uint32_t size, uint16_t type) { return {size, 0, CLAP_CORE_EVENT_SPACE_ID, type, 0}; }

}  // namespace

ClapInstance::ClapInstance(const clap_host_t* host)
    : clapHost(host),
      plugInDescription(clapPluginDescription()),
      plugin(clapPluginRecord()),
      theEffect(&panelChanges, &ClapInstance::panelChanged, this) {
    plugin.plugin_data = this;
}

bool ClapInstance::init() {
    hostParams = hostExtension<clap_host_params_t>(clapHost, CLAP_EXT_PARAMS);
    hostTimers = hostExtension<clap_host_timer_support_t>(clapHost, CLAP_EXT_TIMER_SUPPORT);
    hostDescriptors = hostExtension<clap_host_posix_fd_support_t>(clapHost, CLAP_EXT_POSIX_FD_SUPPORT);
    return theEffect.create() && theEffect.numParameters() == plugInDescription.numParameters;
}

bool ClapInstance::activate(double rate, uint32_t longestBlock) {
    if (!(rate > 0.0) || !std::isfinite(rate) || rate > std::numeric_limits<float>::max()) {
        return false;
    }
    const uint32_t longest = std::min<uint32_t>(longestBlock, std::numeric_limits<int32_t>::max());
    theEffect.start(rate, static_cast<int32_t>(longest));
    longestActiveBlock = static_cast<int32_t>(longest);
    active = true;
    return true;
}

void ClapInstance::deactivate() {
    theEffect.stop();
    active = false;
}

// Suspending clears the filter's memories; resuming starts it again.
void ClapInstance::reset() {
    if (active) {
        theEffect.start(theEffect.rate(), longestActiveBlock);
    }
}

// Each event takes effect at its own frame: the block is filtered in pieces
// between events, so a change at frame k shapes the output from k on. With
// every event at frame 0 this is a VST host's block: all changes first, then
// the whole block at once.
int32_t ClapInstance::process(const clap_process_t& process) {
    const clap_input_events_t* in = process.in_events;
    const uint32_t count = in && in->size && in->get ? in->size(in) : 0;
    uint32_t done = 0;
    for (uint32_t i = 0; i < count; ++i) {
        const clap_event_header_t* event = in->get(in, i);
        if (!event) {
            continue;
        }
        const uint32_t at = std::min(event->time, process.frames_count);
        if (at > done) {
            processBetween(process, done, at);
            done = at;
        }
        apply(*event);
    }
    processBetween(process, done, process.frames_count);
    sendPanelChanges(process.out_events);
    return CLAP_PROCESS_CONTINUE_IF_NOT_QUIET;
}

void ClapInstance::processBetween(const clap_process_t& process, uint32_t from, uint32_t to) {
    float* outputs[2];
    if (from >= to || !stereoChannels(process.audio_outputs, process.audio_outputs_count, outputs)) {
        return;
    }
    process.audio_outputs[0].constant_mask = 0;
    float* inputs[2];
    if (!stereoChannels(process.audio_inputs, process.audio_inputs_count, inputs)) {
        // Without an input there is nothing to filter: silence, not stale memory.
        std::fill(outputs[0] + from, outputs[0] + to, 0.0f);
        std::fill(outputs[1] + from, outputs[1] + to, 0.0f);
        return;
    }
    for (uint32_t start = from; start < to;) {
        const uint32_t piece = std::min<uint32_t>(to - start, std::numeric_limits<int32_t>::max());
        float* in[2] = {inputs[0] + start, inputs[1] + start};
        float* out[2] = {outputs[0] + start, outputs[1] + start};
        theEffect.process(in, out, static_cast<int32_t>(piece));
        start += piece;
    }
}

int32_t ClapInstance::indexOf(clap_id id) const {
    return id < static_cast<clap_id>(plugInDescription.numParameters) ? static_cast<int32_t>(id) : -1;
}

double ClapInstance::plainValue(int32_t index, float normalized) const {
    const ClapParameterRange& range = plugInDescription.parameters[index];
    const double plain = range.minimum + (range.maximum - range.minimum) * static_cast<double>(normalized);
    return range.stepped ? std::round(plain) : plain;
}

// A value outside the range is held to it; one that is not a number never
// gets here.
float ClapInstance::normalizedValue(int32_t index, double plain) const {
    const ClapParameterRange& range = plugInDescription.parameters[index];
    const double normalized = (plain - range.minimum) / (range.maximum - range.minimum);
    return static_cast<float>(std::min(1.0, std::max(0.0, normalized)));
}

void ClapInstance::apply(const clap_event_header_t& event) {
    if (event.space_id != CLAP_CORE_EVENT_SPACE_ID) {
        return;
    }
    if (event.type == CLAP_EVENT_PARAM_VALUE && event.size >= sizeof(clap_event_param_value_t)) {
        const auto& change = reinterpret_cast<const clap_event_param_value_t&>(event);
        const int32_t index = indexOf(change.param_id);
        if (index >= 0 && std::isfinite(change.value)) {
            theEffect.setParameter(index, normalizedValue(index, change.value));
        }
    } else if (event.type == CLAP_EVENT_MIDI && event.size >= sizeof(clap_event_midi_t)) {
        const auto& midi = reinterpret_cast<const clap_event_midi_t&>(event);
        if (midi.port_index == 0) {
            theEffect.sendMidi(midi.data);
        }
    }
}

void ClapInstance::sendPanelChanges(const clap_output_events_t* out) {
    if (!out || !out->try_push) {
        return;
    }
    PanelChange change;
    while (panelChanges.pop(change)) {
        const clap_id id = static_cast<clap_id>(change.index);
        if (change.kind == PanelChange::Kind::value) {
            const clap_event_param_value_t event{eventHeader(sizeof(clap_event_param_value_t), CLAP_EVENT_PARAM_VALUE),
                                                 id,
                                                 nullptr,
                                                 -1,
                                                 -1,
                                                 -1,
                                                 -1,
                                                 plainValue(change.index, change.value)};
            out->try_push(out, &event.header);
        } else {
            const uint16_t type =
                change.kind == PanelChange::Kind::begin ? CLAP_EVENT_PARAM_GESTURE_BEGIN : CLAP_EVENT_PARAM_GESTURE_END;
            const clap_event_param_gesture_t event{eventHeader(sizeof(clap_event_param_gesture_t), type), id};
            out->try_push(out, &event.header);
        }
    }
}

ClapEffect* ClapInstance::readOutEffect() {
    if (!readOuts) {
        std::unique_ptr<ClapEffect> made(new (std::nothrow) ClapEffect(nullptr, nullptr, nullptr));
        if (!made || !made->create()) {
            return nullptr;
        }
        readOuts = std::move(made);
    }
    return readOuts.get();
}

uint32_t ClapInstance::tailFrames() {
    std::array<float, kMaxTailParameters> values{};
    const int32_t count = std::min(plugInDescription.numParameters, kMaxTailParameters);
    for (int32_t i = 0; i < count; ++i) {
        values[i] = theEffect.parameter(i);
    }
    const double rate = theEffect.rate() > 0.0 ? theEffect.rate() : kRateBeforeActivation;
    return plugInDescription.tailFrames ? plugInDescription.tailFrames(values.data(), rate) : 0;
}

// The panel's thread: the host hears the change at its next flush or block.
void ClapInstance::panelChanged(void* context) {
    ClapInstance* self = static_cast<ClapInstance*>(context);
    if (self->hostParams && self->hostParams->request_flush) {
        self->hostParams->request_flush(self->clapHost);
    }
}
