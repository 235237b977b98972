// MIDI input: which control changes move the centre frequency, and how.
#include <gtest/gtest.h>

#include "tests/native/EventList.h"
#include "tests/native/FilterProbe.h"
#include "tests/native/RecordingHost.h"

namespace {

class MidiInput : public ::testing::Test {
protected:
    VstIntPtr send(EventList& list) { return effect.dispatch(effProcessEvents, 0, 0, list.build()); }
    // One control change on a list of its own.
    VstIntPtr sendControlChange(unsigned char status, unsigned char number, unsigned char value) {
        EventList list;
        list.controlChange(status, number, value);
        return send(list);
    }
    float frequency() { return effect.filter().getParameter(0); }

    RecordingHost host;
    LoadedEffect effect{host};
};

TEST_F(MidiInput, SelectedControllerOnAnyChannelSetsTheFrequency) {
    EXPECT_EQ(sendControlChange(0xB0, 1, 0x40), 1);
    EXPECT_EQ(frequency(), static_cast<float>(63 / 127.0));
    effect.filter().setParameter(0, 0.9f);
    sendControlChange(0xBF, 1, 0x40);
    EXPECT_EQ(frequency(), static_cast<float>(63 / 127.0));
}

TEST_F(MidiInput, ValueMapping) {
    sendControlChange(0xB3, 1, 1);
    EXPECT_EQ(frequency(), 0.0f);
    EXPECT_EQ(effect.text(effGetParamDisplay, 0), "800.000000");
    sendControlChange(0xB3, 1, 127);
    EXPECT_EQ(frequency(), static_cast<float>(126 / 127.0));
}

TEST_F(MidiInput, ValueZeroLeavesTheFrequency) {
    effect.filter().setParameter(0, 0.7f);
    sendControlChange(0xB0, 1, 0);
    EXPECT_EQ(frequency(), 0.7f);
}

TEST_F(MidiInput, OtherMessagesChangeNothing) {
    effect.filter().setParameter(0, 0.7f);
    EventList others;
    others
        .controlChange(0xB0, 2, 0x40)     // another controller
        .controlChange(0x90, 1, 0x40)     // note-on
        .controlChange(0xE0, 1, 0x40)     // pitch bend
        .controlChange(0xB0, 1, 0x80)     // not a data byte
        .controlChange(0xB0, 0x81, 0x40)  // not a controller number
        .otherEvent(kVstSysExMidiType, 0xB0, 1, 0x40)
        .otherEvent(0, 0xB0, 1, 0x40);
    EXPECT_EQ(send(others), 1);
    EXPECT_EQ(frequency(), 0.7f);
}

TEST_F(MidiInput, OnlyTheSelectedControllerMoves) {
    effect.filter().setParameter(3, 7 / 127.0f);
    ASSERT_EQ(effect.text(effGetParamDisplay, 3), "7");
    effect.filter().setParameter(0, 0.7f);
    sendControlChange(0xB0, 1, 20);
    EXPECT_EQ(frequency(), 0.7f);
    sendControlChange(0xB5, 7, 20);
    EXPECT_EQ(frequency(), static_cast<float>(19 / 127.0));
}

TEST_F(MidiInput, ListsStopBeingExaminedAtIndex1022) {
    EventList many;
    for (int i = 0; i < 1030; ++i) {
        many.controlChange(0xB0, 1, static_cast<unsigned char>(1 + i % 127));
    }
    EXPECT_EQ(send(many), 1);
    EXPECT_EQ(frequency(), static_cast<float>((1021 % 127) / 127.0));
}

TEST_F(MidiInput, AMidiEventAtIndex1022IsNotExamined) {
    EventList list;
    for (int i = 0; i < 1022; ++i) {
        list.otherEvent(kVstSysExMidiType, 0xB0, 1, 5);
    }
    list.controlChange(0xB0, 1, 50);
    send(list);
    EXPECT_EQ(frequency(), 0.5f);
}

TEST_F(MidiInput, EmptyListAnswersOne) {
    EventList empty;
    EXPECT_EQ(send(empty), 1);
    EXPECT_EQ(frequency(), 0.5f);
}

TEST_F(MidiInput, ControllerMovesAreNotReportedAsAutomation) {
    EventList sweep;
    for (unsigned char v = 1; v < 128; v += 7) {
        sweep.controlChange(0xB0, 1, v);
    }
    send(sweep);
    EXPECT_EQ(host.count(audioMasterAutomate), 0u);
    EXPECT_NE(frequency(), 0.5f);
}

TEST_F(MidiInput, TheControllerMovesTheFilterToo) {
    FilterProbe probe;
    FilterProbe reference;
    reference.setParameter(0, static_cast<float>(99 / 127.0));
    EventList list;
    list.controlChange(0xB0, 1, 100);
    probe.processEvents(list.build());
    EXPECT_EQ(probe.alphaValue(), reference.alphaValue());
    EXPECT_EQ(probe.betaValue(), reference.betaValue());
    EXPECT_EQ(probe.gammaValue(), reference.gammaValue());
}

TEST_F(MidiInput, ResumeAsksForMidiEachTime) {
    effect.dispatch(effMainsChanged, 0, 1);
    effect.dispatch(effMainsChanged, 0, 0);
    effect.dispatch(effMainsChanged, 0, 1);
    EXPECT_EQ(host.count(audioMasterWantMidi), 2u);
    const HostRequest* request = host.last(audioMasterWantMidi);
    ASSERT_NE(request, nullptr);
    EXPECT_EQ(request->value, 1);
    EXPECT_EQ(request->effect, effect.record);
}

}  // namespace
