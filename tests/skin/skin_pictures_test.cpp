// The skin's pictures through the one loader the controls use: every picture at every
// drawn scale is the drawing for that scale, pixel for pixel, and between or above the
// drawn scales the next larger set comes resized smoothly to the size the layout has.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <map>
#include <set>
#include <vector>

#include "framework/gdi.h"
#include "res/resource.h"
#include "res/skin_table.h"
#include "skin/skin_pictures.h"

namespace {

// What make-pictures.sh drew, read from the files with ImageMagick when it wrote them.
struct DrawnPicture {
    int id;
    int scale;
    int width;
    int height;
    uint32_t crc;  // CRC-32 of the pixels as B, G, R bytes, top row first
};
constexpr DrawnPicture kDrawn[] = {
#include "skin_picture_sums.inc"
};

uint32_t Crc32OfPixels(const std::vector<uint32_t>& pixels)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (uint32_t pixel : pixels) {
        for (int shift : {0, 8, 16}) {
            crc ^= (pixel >> shift) & 0xFFu;
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
    }
    return ~crc;
}

UINT DpiOf(int scale)
{
    return static_cast<UINT>(scale * USER_DEFAULT_SCREEN_DPI / 100);
}

TEST(SkinPictures, EachScaleGivesItsOwnDrawingAndOtherScalesTheNextLargerSetResizedSmoothly)
{
    // Every picture of the skin table, and every other picture drawn at 100 %, is
    // drawn at every scale.
    std::map<int, std::set<int>> scalesOf;
    for (const DrawnPicture& d : kDrawn)
        scalesOf[d.id].insert(d.scale);
    std::set<int> tableIds;
    for (const WindowSkin& w : kWindowSkins)
        tableIds.insert(w.background);
    for (const ButtonSkin& b : kButtonSkins) {
        for (int id : {b.normal, b.down, b.over, b.disabled}) {
            if (id != 0)
                tableIds.insert(id);
        }
    }
    for (int id : tableIds)
        EXPECT_EQ(1u, scalesOf.count(id)) << "picture " << id << " is not drawn";
    const std::set<int> allScales(std::begin(kDrawnScales), std::end(kDrawnScales));
    for (const auto& [id, scales] : scalesOf)
        EXPECT_EQ(allScales, scales) << "picture " << id;

    // At each drawn scale's DPI: the 100 % size times the scale, and the drawing's
    // own pixels, whether the resource is the 100 % BMP or a PNG.
    for (const DrawnPicture& d : kDrawn) {
        SCOPED_TRACE(testing::Message() << "picture " << d.id << " at " << d.scale << " %");
        const UINT dpi = DpiOf(d.scale);
        EXPECT_EQ(d.scale, DrawnScaleForDpi(dpi));
        const SIZE expected = SkinPictureSize(d.id, dpi);
        EXPECT_EQ(d.width, expected.cx);
        EXPECT_EQ(d.height, expected.cy);
        GdiBitmap picture = LoadSkinPicture(d.id, dpi, true);
        ASSERT_TRUE(picture);
        SIZE size = {};
        const std::vector<uint32_t> pixels = ReadBitmapPixels(picture.get(), &size);
        EXPECT_EQ(d.width, size.cx);
        EXPECT_EQ(d.height, size.cy);
        EXPECT_EQ(d.crc, Crc32OfPixels(pixels));
    }

    // Between two drawn scales the next larger set, above 200 % the 200 % set.
    EXPECT_EQ(100, DrawnScaleForDpi(72));
    EXPECT_EQ(125, DrawnScaleForDpi(97));
    EXPECT_EQ(150, DrawnScaleForDpi(132));
    EXPECT_EQ(200, DrawnScaleForDpi(288));
    // Resized to the layout's size, and smoothly: a face shrunk from the 150 % set
    // has blended colours that no pixel of that set has (a nearest-pixel resize
    // would only repeat them), and it stays a face: corners of the background's
    // colour, a light body.
    for (UINT dpi : {132u, 288u}) {
        SCOPED_TRACE(testing::Message() << dpi << " dpi");
        const SIZE size100 = SkinPictureSize(IDB_REFRESH, USER_DEFAULT_SCREEN_DPI);
        GdiBitmap picture = LoadSkinPicture(IDB_REFRESH, dpi);
        SIZE size = {};
        const std::vector<uint32_t> pixels = ReadBitmapPixels(picture.get(), &size);
        ASSERT_FALSE(pixels.empty());
        EXPECT_EQ(ScaleToDpi(size100.cx, dpi), size.cx);
        EXPECT_EQ(ScaleToDpi(size100.cy, dpi), size.cy);
        SIZE drawnSize = {};
        GdiBitmap drawn = LoadSkinPicture(IDB_REFRESH, DpiOf(DrawnScaleForDpi(dpi)));
        const std::vector<uint32_t> drawnPixels = ReadBitmapPixels(drawn.get(), &drawnSize);
        const std::set<uint32_t> drawnColours(drawnPixels.begin(), drawnPixels.end());
        size_t blended = 0;
        for (uint32_t pixel : pixels)
            blended += drawnColours.count(pixel) == 0;
        EXPECT_GT(blended, pixels.size() / 100);
        EXPECT_EQ(drawnPixels.front(), pixels.front());
        const uint32_t middle = pixels[static_cast<size_t>(size.cy / 2) * size.cx + size.cx / 8];
        EXPECT_GT(middle & 0xFF, 0xC0u) << std::hex << middle;
    }
}

}  // namespace

TEST(SkinPictures, ASharedPictureIsLoadedOncePerDpiWhileAnyControlHoldsIt)
{
    SharedSkinPicture first = LoadSharedSkinPicture(IDB_MAIN_BACKGROUND, 192);
    ASSERT_TRUE(first && first->get());
    EXPECT_EQ(first->get(), LoadSharedSkinPicture(IDB_MAIN_BACKGROUND, 192)->get());
    SharedSkinPicture other = LoadSharedSkinPicture(IDB_MAIN_BACKGROUND, 96);
    ASSERT_TRUE(other && other->get());
    EXPECT_NE(first->get(), other->get());
    const SIZE size = BitmapSize(first->get());
    EXPECT_EQ(SkinPictureSize(IDB_MAIN_BACKGROUND, 192).cx, size.cx);
    // Freed with its last holder: a later load makes a new bitmap (the old handle
    // is no longer a bitmap at all).
    const HBITMAP old = first->get();
    first.reset();
    EXPECT_EQ(0, GetObjectType(old));
    EXPECT_TRUE(LoadSharedSkinPicture(IDB_MAIN_BACKGROUND, 192));
}
