// Another application's XDND drag over the editor: text and a file list,
// offered by a second X client that proposes a move. The editor's window
// takes part in the protocol, asks for the data at the drop and finishes,
// and never asks the source to move (delete) what it dragged.
#include <gtest/gtest.h>

#include <atomic>
#include <ostream>
#include <string>
#include <thread>
#include <vector>

#include "tests/editor/EditorExpectations.h"
#include "tests/x11/support/EditorHost.h"
#include "tests/x11/support/XdndSource.h"

using namespace quavixtest;
using namespace quavixtest::expected;

namespace {

constexpr int kDragTimeoutMs = 10000;

struct DropCase {
    const char* name;
    const char* type;
    const char* data;
};
void PrintTo(const DropCase& c, std::ostream* out) { *out << c.name; }

class DropTest : public EditorTest, public ::testing::WithParamInterface<DropCase> {
protected:
    // The source runs on a thread of its own while this one idles, as the
    // editor reads the drag's messages only at the host's idle.
    XdndSource::Result dragOverEditor(const std::vector<std::pair<int, int>>& framePoints) {
        std::vector<std::pair<int, int>> points;
        for (const auto& [x, y] : framePoints)
            points.emplace_back(kHostX + x, kHostY + y);
        const XdndSource source(GetParam().type, GetParam().data);
        std::atomic<bool> done{false};
        XdndSource::Result result;
        std::thread drag([&] {
            result = source.dragAndDrop(points, kDragTimeoutMs);
            done = true;
        });
        while (!done)
            idleFor(kIdleMs);
        drag.join();
        return result;
    }
};

TEST_P(DropTest, TheEditorAcceptsACopyAtMostAndFinishes) {
    ASSERT_TRUE(openEditor());
    const Window editor = editorWindow();
    ASSERT_NE(0u, editor);
    // Over the frequency slider, over the background, and dropped on the gain slider.
    const XdndSource::Result result = dragOverEditor({{sliderCentreX(0), 150}, {20, 20}, {sliderCentreX(1), 150}});
    ASSERT_NE(0u, result.target) << "no window under the editor is XdndAware";
    EXPECT_EQ(editor, result.target);
    EXPECT_GE(result.version, 3);
    ASSERT_EQ(3u, result.statuses.size()) << "not every position was answered by XdndStatus";
    for (const XdndSource::Answer& status : result.statuses) {
        EXPECT_NE("XdndActionMove", status.action);
        if (status.accepted) {
            EXPECT_EQ("XdndActionCopy", status.action);
        }
    }
    ASSERT_TRUE(result.finished) << "no XdndFinished after the drop";
    EXPECT_NE("XdndActionMove", result.finish.action);
    // The editor read the drop: it asked for the one type offered.
    ASSERT_FALSE(result.requestedTypes.empty()) << "the editor never asked for the dropped data";
    EXPECT_EQ(GetParam().type, result.requestedTypes.back());
    // The editor's controls take no drops: nothing changed.
    EXPECT_TRUE(edits().empty());
}

INSTANTIATE_TEST_SUITE_P(Payloads, DropTest,
                         ::testing::Values(DropCase{"Text", "text/plain", "a wah for the bridge"},
                                           DropCase{"ThreeFiles", "text/uri-list",
                                                    "file:///tmp/one.wav\r\nfile:///tmp/two%20words.wav\r\n"
                                                    "file:///tmp/three.fxp\r\n"}),
                         [](const ::testing::TestParamInfo<DropCase>& info) { return info.param.name; });

}  // namespace
