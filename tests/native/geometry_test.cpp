// Rectangles, points and reference counts: the records every view measures in.
#include <gtest/gtest.h>

#include "gui/geometry/CRect.h"
#include "gui/geometry/CReferenceCounter.h"

using VSTGUI::CPoint;
using VSTGUI::CRect;
using VSTGUI::CReferenceCounter;

namespace {

void expectRect(const CRect& r, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    EXPECT_EQ(r.left, left);
    EXPECT_EQ(r.top, top);
    EXPECT_EQ(r.right, right);
    EXPECT_EQ(r.bottom, bottom);
}

}  // namespace

TEST(RectBound, DisjointRectanglesBoundToAnEmptyRectangleAtTheNearerCorner) {
    CRect r(0, 0, 10, 10);
    expectRect(r.bound(CRect(20, 20, 30, 30)), 20, 20, 20, 20);
    EXPECT_EQ(r.width(), 0);
    EXPECT_EQ(r.height(), 0);
}

TEST(RectBound, OverlapKeepsTheCommonPart) {
    CRect r(0, 0, 10, 10);
    expectRect(r.bound(CRect(5, 5, 30, 30)), 5, 5, 10, 10);
}

TEST(RectBound, NeverInvertsWhenDisjointOnOneAxisOnly) {
    CRect r(0, 0, 10, 10);
    r.bound(CRect(2, 40, 8, 50));
    expectRect(r, 2, 40, 8, 40);
    CRect s(0, 0, 10, 10);
    s.bound(CRect(-30, 2, -20, 8));
    expectRect(s, 0, 2, 0, 8);
}

TEST(RectMove, MoveByShiftsAllFourEdges) {
    CRect r(1, 1, 2, 2);
    expectRect(r.moveBy(-3, 4), -2, 5, -1, 6);
}

TEST(RectHit, EdgesCountAsInside) {
    const CRect r(10, 20, 30, 40);
    EXPECT_TRUE(r.pointInside(CPoint(30, 40)));
    EXPECT_TRUE(r.pointInside(CPoint(10, 20)));
    EXPECT_FALSE(r.pointInside(CPoint(31, 40)));
    EXPECT_FALSE(r.pointInside(CPoint(30, 41)));
    EXPECT_FALSE(r.pointInside(CPoint(9, 25)));
}

TEST(RectOverlap, RectanglesThatOnlyTouchOverlapOnePixelApartDoNot) {
    const CRect r(10, 20, 30, 40);
    EXPECT_TRUE(r.overlaps(CRect(0, 25, 10, 26)));   // right edge on our left
    EXPECT_TRUE(r.overlaps(CRect(30, 40, 50, 50)));  // corner on our bottom-right
    EXPECT_TRUE(r.overlaps(CRect(15, 0, 16, 20)));   // bottom edge on our top
    EXPECT_TRUE(r.overlaps(CRect(0, 0, 100, 100)));  // around us
    EXPECT_FALSE(r.overlaps(CRect(0, 25, 9, 26)));
    EXPECT_FALSE(r.overlaps(CRect(31, 25, 40, 26)));
    EXPECT_FALSE(r.overlaps(CRect(15, 0, 16, 19)));
    EXPECT_FALSE(r.overlaps(CRect(15, 41, 16, 50)));
}

namespace {

class CountedObject : public CReferenceCounter {
public:
    explicit CountedObject(int& destroyed) : destroyed(destroyed) {}
    ~CountedObject() override { ++destroyed; }

private:
    int& destroyed;
};

}  // namespace

TEST(ReferenceCounting, LastDropDestroysExactlyOnce) {
    int destroyed = 0;
    auto* object = new CountedObject(destroyed);
    EXPECT_EQ(object->getNbReference(), 1);
    object->addReference();
    object->dropReference();
    EXPECT_EQ(destroyed, 0);
    object->dropReference();
    EXPECT_EQ(destroyed, 1);
}
