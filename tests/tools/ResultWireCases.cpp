// What a validation group's process hands the validator: each message comes
// back as it was sent, whatever its texts hold, and whatever else the
// plug-in prints is told apart from it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tools/validate/ResultWire.h"

namespace {

// Texts a plug-in's name, an error or a figure may hold.
const std::string kAwkward = std::string("line\nbreak, \r return, \\ back\\slash, \x1E start, \x1F field, \\n");

CheckResult fullResult() {
    CheckResult result;
    result.name = "no heap allocation inside processReplacing " + kAwkward;
    result.verdict = Verdict::Fail;
    result.notes = {"a note", kAwkward, ""};
    result.findings = {
        {Finding::Kind::Failure, "first " + kAwkward}, {Finding::Kind::Warning, "loud"}, {Finding::Kind::Failure, ""}};
    result.failures = 85;
    result.warnings = 1;
    result.figures = {{"peak", "134861"}, {kAwkward, ""}, {"", kAwkward}};
    result.unloadable = true;
    return result;
}

void expectSame(const CheckResult& sent, const CheckResult& got) {
    EXPECT_EQ(got.name, sent.name);
    EXPECT_EQ(got.verdict, sent.verdict);
    EXPECT_EQ(got.skipReason, sent.skipReason);
    EXPECT_EQ(got.notes, sent.notes);
    ASSERT_EQ(got.findings.size(), sent.findings.size());
    for (size_t i = 0; i < sent.findings.size(); ++i) {
        EXPECT_EQ(got.findings[i].kind, sent.findings[i].kind) << i;
        EXPECT_EQ(got.findings[i].text, sent.findings[i].text) << i;
    }
    EXPECT_EQ(got.failures, sent.failures);
    EXPECT_EQ(got.warnings, sent.warnings);
    ASSERT_EQ(got.figures.size(), sent.figures.size());
    for (size_t i = 0; i < sent.figures.size(); ++i) {
        EXPECT_EQ(got.figures[i].name, sent.figures[i].name) << i;
        EXPECT_EQ(got.figures[i].value, sent.figures[i].value) << i;
    }
    EXPECT_EQ(got.unloadable, sent.unloadable);
}

TEST(ResultWire, EveryMessageComesBackAsSentOnOneLine) {
    std::vector<GroupMessage> messages(6);
    messages[0].kind = GroupMessage::Kind::CheckStarts;
    messages[0].text = kAwkward;
    messages[1].kind = GroupMessage::Kind::Doing;
    messages[1].text = "processReplacing 1 frames";
    messages[2].kind = GroupMessage::Kind::Result;
    messages[2].result = fullResult();
    messages[3].kind = GroupMessage::Kind::Result;
    messages[3].result.name = "skipped";
    messages[3].result.verdict = Verdict::Skip;
    messages[3].result.skipReason = "runs from strictness 4";
    messages[4].kind = GroupMessage::Kind::Result;  // a pass with nothing to say
    messages[5].kind = GroupMessage::Kind::GroupDone;
    for (const GroupMessage& sent : messages) {
        SCOPED_TRACE(static_cast<int>(sent.kind));
        const std::string line = ResultWire::encode(sent);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_EQ(line.find('\r'), std::string::npos);
        GroupMessage got;
        ASSERT_TRUE(ResultWire::decode(line, got));
        EXPECT_EQ(got.kind, sent.kind);
        EXPECT_EQ(got.text, sent.text);
        expectSame(sent.result, got.result);
        // A plug-in's text without a line end of its own runs into the message.
        ASSERT_TRUE(ResultWire::decode("plug-in says: " + line, got));
        EXPECT_EQ(got.kind, sent.kind);
    }
}

TEST(ResultWire, WhatIsNoWholeMessageIsTheProgramsOwnText) {
    const std::string result = ResultWire::encode(GroupMessage{GroupMessage::Kind::Result, "", fullResult()});
    const std::string badEscape = result.substr(0, result.find('\x1F') + 2) + "\\q";
    const std::string notes[] = {
        "",
        "quavix-host: crashed with SIGSEGV",
        "@pass every extreme value on every parameter",
        "\x1E",
        "\x1Eresults",
        std::string("\x1E") + "check\x1Fx",  // a field without its tag
        std::string("\x1E") + "result\x1Fvmaybe",
        std::string("\x1E") + "result\x1F" + "F-1",
        std::string("\x1E") + "result\x1F" + "F12x",
        std::string("\x1E") + "result\x1Fhvalue without a name",
        std::string("\x1E") + "result\x1Fzunknown",
        badEscape,
        result.substr(0, result.size() - 1) + "\\",
    };
    for (const std::string& line : notes) {
        SCOPED_TRACE(line);
        GroupMessage message;
        EXPECT_FALSE(ResultWire::decode(line, message));
    }
}

}  // namespace
