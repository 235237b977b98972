// Rectangles, points and reference counts: the records every view measures in.
#include <gtest/gtest.h>

#include "toolkit/geometry/CRect.h"
#include "toolkit/geometry/CReferenceCounter.h"
#include "tests/native/GeometryPrinters.h"

using VSTGUI::CPoint;
using VSTGUI::CRect;
using VSTGUI::CReferenceCounter;

// Every other geometry check compares whole records, so equality itself
// must tell each edge and coordinate apart.
TEST(RectCompare, EqualOnlyWhenAllFourEdgesAre) {
    const CRect r(1, 2, 3, 4);
    EXPECT_TRUE(r == CRect(1, 2, 3, 4));
    EXPECT_FALSE(r != CRect(1, 2, 3, 4));
    for (const CRect& other : {CRect(0, 2, 3, 4), CRect(1, 0, 3, 4), CRect(1, 2, 0, 4), CRect(1, 2, 3, 0)}) {
        EXPECT_FALSE(r == other);
        EXPECT_TRUE(r != other);
    }
    EXPECT_TRUE(CPoint(5, 6) == CPoint(5, 6));
    EXPECT_FALSE(CPoint(5, 6) == CPoint(5, 0));
    EXPECT_FALSE(CPoint(5, 6) == CPoint(0, 6));
}

TEST(RectBound, DisjointRectanglesBoundToAnEmptyRectangleAtTheNearerCorner) {
    CRect r(0, 0, 10, 10);
    EXPECT_EQ(r.bound(CRect(20, 20, 30, 30)), CRect(20, 20, 20, 20));
    EXPECT_EQ(r.width(), 0);
    EXPECT_EQ(r.height(), 0);
}

TEST(RectBound, OverlapKeepsTheCommonPart) {
    CRect r(0, 0, 10, 10);
    EXPECT_EQ(r.bound(CRect(5, 5, 30, 30)), CRect(5, 5, 10, 10));
}

TEST(RectBound, NeverInvertsWhenDisjointOnOneAxisOnly) {
    CRect r(0, 0, 10, 10);
    r.bound(CRect(2, 40, 8, 50));
    EXPECT_EQ(r, CRect(2, 40, 8, 40));
    CRect s(0, 0, 10, 10);
    s.bound(CRect(-30, 2, -20, 8));
    EXPECT_EQ(s, CRect(0, 2, 0, 8));
}

TEST(RectMove, MoveByShiftsAllFourEdges) {
    CRect r(1, 1, 2, 2);
    EXPECT_EQ(r.moveBy(-3, 4), CRect(-2, 5, -1, 6));
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
