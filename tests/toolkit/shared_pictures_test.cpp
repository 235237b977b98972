// What an instance costs beyond the first, the life of the pictures its
// bitmaps share (counted, never timed), and the reader of the module's PNG files.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "framework/EffectBase.h"
#include "quavix/Filter.h"
#include "quavix/QuavixConfig.h"
#include "quavix/QuavixEditor.h"
#include "toolkit/drawing/CBitmap.h"
#include "toolkit/drawing/PngPicture.h"
#include "toolkit/drawing/SharedPictures.h"
#include "toolkit/views/CFrame.h"
#include "tests/toolkit/support/StubCanvas.h"

using namespace VSTGUI;
using namespace quavixtest;

// The toolkit's tests run under AddressSanitizer, whose allocator counts
// every byte the process holds.
extern "C" size_t __sanitizer_get_current_allocated_bytes();

namespace {

VstIntPtr VSTCALLBACK silentHost(AEffect*, VstInt32, VstInt32, VstIntPtr, void*, float) { return 0; }

stub::Picture plain(int32_t width, int32_t height, uint32_t color) {
    return makePicture(width, height, [color](int, int) { return color; });
}

// The panel's pictures at their real sizes, 1x and 2x, so that a decode
// costs what it would cost in the plug-in.
class ModulePictures : public ::testing::Test {
protected:
    void SetUp() override {
        const struct {
            int32_t id, width, height;
        } panel[] = {{quavix::kBackgroundBitmap, 330, 354},
                     {quavix::kSliderTrackBitmap, 16, 160},
                     {quavix::kSliderHandleBitmap, 14, 12},
                     {quavix::kRockerBitmap, 52, 54},
                     {quavix::kDigitsBitmap, 22, 213}};
        for (const auto& picture : panel) {
            stub::addPicture(picture.id, plain(picture.width, picture.height, kBlue));
            stub::addPicture(picture.id + 2 * kScaledSetIdStep, plain(picture.width * 2, picture.height * 2, kRed));
        }
    }
    void TearDown() override {
        stub::removePictures();
        EXPECT_EQ(stub::livePictureCount(), 0) << "a picture outlived every bitmap";
        EXPECT_EQ(SharedPictures::count(), 0u);
    }

    // One effect as a host makes it, with its editor, closed.
    struct Instance {
        Instance() : effect(new Filter(silentHost)) { new QuavixEditor(effect.get()); }
        std::unique_ptr<Filter> effect;
    };
};

// Past the first, an instance is its filter, its parameters and its editor's
// objects (well under a kilobyte today); its background, 467 KB decoded, is
// not among them.
constexpr size_t kSecondInstanceBudget = 4 * 1024;

TEST_F(ModulePictures, ASecondInstanceCostsNoMoreThanItsBudget) {
    Instance first;
    const size_t before = __sanitizer_get_current_allocated_bytes();
    auto second = std::make_unique<Instance>();
    const size_t cost = __sanitizer_get_current_allocated_bytes() - before;
    EXPECT_LE(cost, kSecondInstanceBudget) << "bytes the second instance took";
    EXPECT_EQ(stub::livePictureCount(), 0) << "nothing is decoded before an editor draws";
    ERect* rect = nullptr;
    ASSERT_TRUE(second->effect->getEditor()->getRect(&rect));
    EXPECT_EQ(rect->right - rect->left, 330) << "the rectangle comes from the background's size";
    EXPECT_EQ(rect->bottom - rect->top, 354);
}

TEST_F(ModulePictures, BitmapsOfOneIdShareOnePicturePerScaleReleasedWithTheLastUser) {
    CBitmap* first = new CBitmap(quavix::kBackgroundBitmap);
    CBitmap* second = new CBitmap(quavix::kBackgroundBitmap);
    EXPECT_EQ(stub::livePictureCount(), 0);
    const struct {
        double factor;
        int32_t pictures;  // alive once both bitmaps have drawn at it
        uint32_t color;
    } steps[] = {{1.0, 1, kBlue}, {2.0, 2, kRed}, {1.0, 2, kBlue}};
    for (const auto& step : steps) {
        for (CBitmap* bitmap : {first, second}) {
            ScaledCanvas target(step.factor, 4, 4);
            bitmap->draw(target.context, CRect(0, 0, 2, 2));
            const int lastPixel = int(2 * step.factor) - 1;
            EXPECT_EQ(target.at(lastPixel, lastPixel), step.color) << "at " << step.factor;
        }
        EXPECT_EQ(stub::livePictureCount(), step.pictures) << "at " << step.factor;
    }
    EXPECT_EQ(first->getHandle(), second->getHandle());
    first->dropReference();
    EXPECT_EQ(stub::livePictureCount(), 2) << "the second bitmap still draws both";
    ScaledCanvas target(2.0, 4, 4);
    second->draw(target.context, CRect(0, 0, 2, 2));
    EXPECT_EQ(target.at(3, 3), kRed);
    second->dropReference();
    EXPECT_EQ(stub::livePictureCount(), 0);
}

}  // namespace

// ---------------------------------------------------------------------------
// The PNG reader: a whole file gives its pixels, anything else is refused.

// Two pixels, red and 0x010203, as Pillow writes them.
const std::vector<uint8_t> kTwoPixels = {
    0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
    0x00, 0x02, 0x00, 0x00, 0x00, 0x01, 0x08, 0x02, 0x00, 0x00, 0x00, 0x7b, 0x40, 0xe8, 0xdd, 0x00, 0x00, 0x00,
    0x0f, 0x49, 0x44, 0x41, 0x54, 0x78, 0x9c, 0x63, 0xf8, 0xcf, 0xc0, 0xc0, 0xc8, 0xc4, 0x0c, 0x00, 0x06, 0x0b,
    0x01, 0x06, 0x04, 0x0b, 0x99, 0x2d, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60, 0x82};
constexpr size_t kWidthOffset = 16;  // the header's width, four bytes big-endian

TEST(PngPicture, AWholeFileGivesItsSizeAndPixels) {
    int32_t width = 0, height = 0;
    ASSERT_TRUE(measurePng(kTwoPixels.data(), kTwoPixels.size(), width, height));
    EXPECT_EQ(width, 2);
    EXPECT_EQ(height, 1);
    PixelImage image;
    ASSERT_TRUE(decodePng(kTwoPixels.data(), kTwoPixels.size(), image));
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0xFF0000u, 0x010203u}));
}

TEST(PngPicture, DamagedFilesAreRefusedWithoutHarm) {
    std::vector<uint8_t> huge = kTwoPixels;
    huge[kWidthOffset + 1] = 0x10;  // 1 048 578 pixels wide
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        bool measured;
    } cases[] = {
        {"nothing", {}, false},
        {"the signature alone", {kTwoPixels.begin(), kTwoPixels.begin() + 8}, false},
        {"the header without the pixels", {kTwoPixels.begin(), kTwoPixels.begin() + 33}, true},
        {"a header past any picture's size", huge, false},
        {"no PNG at all", std::vector<uint8_t>(72, 0x42), false},
    };
    for (const auto& c : cases) {
        int32_t width = -1, height = -1;
        EXPECT_EQ(measurePng(c.bytes.data(), c.bytes.size(), width, height), c.measured) << c.what;
        PixelImage image;
        EXPECT_FALSE(decodePng(c.bytes.data(), c.bytes.size(), image)) << c.what;
        EXPECT_TRUE(image.pixels.empty()) << c.what;
    }
}
