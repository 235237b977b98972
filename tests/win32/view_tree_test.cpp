// The view tree on GDI: containers that draw through offscreen contexts
// leave no drawing object behind. The rest of the view tree needs no real
// window system and is tested over the stub, in tests/toolkit.
#include <windows.h>

#include <gtest/gtest.h>

#include "toolkit/views/CView.h"
#include "toolkit/views/CViewContainer.h"
#include "toolkit/drawing/CDrawContext.h"
#include "tests/win32/support/CanvasContext.h"
#include "tests/win32/support/GuiObjectCounts.h"
#include "tests/win32/support/WindowPixels.h"

using namespace VSTGUI;
using quavixtest::CanvasContext;
using quavixtest::kWhite;

namespace {

// A view that fills its size in blue.
class PaintedView : public CView {
public:
    using CView::CView;
    void draw(CDrawContext* context) override {
        context->setFillColor(kColorBlue);
        context->fillRect(size);
        CView::draw(context);
    }
};

}  // namespace

TEST(ContainerOffscreen, RepeatedTreesLeaveNoDrawingObjectBehind) {
    CanvasContext canvas(200, 200, kWhite);
    auto cycle = [&]() {
        CViewContainer* outer = new CViewContainer(CRect(0, 0, 150, 150));
        CViewContainer* inner = new CViewContainer(CRect(10, 10, 90, 90));
        outer->addView(inner);
        inner->addView(new PaintedView(CRect(5, 5, 40, 40)));
        outer->draw(canvas.context);
        outer->drawRect(canvas.context, CRect(20, 20, 60, 60));
        inner->setViewSize(CRect(10, 10, 100, 100));
        inner->setOffscreenDrawing(false);
        inner->setOffscreenDrawing(true);
        outer->draw(canvas.context);
        outer->dropReference();
    };
    cycle();  // let the system make whatever it keeps for good
    EXPECT_EQ(canvas.at(20, 20), quavixtest::rgb(kColorBlue)) << "the trees drew";
    const uint32_t before = quavixtest::countGdiObjects();
    CViewContainer* live = new CViewContainer(CRect(0, 0, 10, 10));
    live->draw(canvas.context);
    ASSERT_GT(quavixtest::countGdiObjects(), before) << "the counter sees an offscreen context";
    live->dropReference();
    ASSERT_EQ(quavixtest::countGdiObjects(), before);
    for (int i = 0; i < 200; ++i)
        cycle();
    EXPECT_EQ(quavixtest::countGdiObjects(), before);
}
