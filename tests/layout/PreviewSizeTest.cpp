#include "core/layout/PreviewSize.h"
#include "core/layout/RgbImage.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

PreviewSize Resized(PreviewSize current, std::int32_t height) {
    PreviewSize resized{-1, -1};
    const Status status = ResizePreview(current, height, resized);
    EXPECT_TRUE(status.ok()) << status.message();
    return resized;
}

TEST(PreviewSize, KeepsTheProportionsTruncatingTheWidth) {
    EXPECT_EQ(Resized({400, 300}, 150), (PreviewSize{200, 150}));
    EXPECT_EQ(Resized({400, 300}, 151), (PreviewSize{201, 151}));  // 201.33
    EXPECT_EQ(Resized({400, 300}, 300), (PreviewSize{400, 300}));
    EXPECT_EQ(Resized({300, 400}, 800), (PreviewSize{600, 800}));
    EXPECT_EQ(Resized({400, 297}, 1), (PreviewSize{1, 1}));
}

TEST(PreviewSize, RefusesHeightsBelowOne) {
    for (const std::int32_t height : {0, -1, INT32_MIN}) {
        PreviewSize resized{7, 7};
        const Status status = ResizePreview({400, 300}, height, resized);
        EXPECT_FALSE(status.ok());
        EXPECT_NE(status.message().find("height"), std::string::npos) << status.message();
        EXPECT_EQ(resized, (PreviewSize{7, 7}));
    }
}

TEST(PreviewSize, RefusesPicturesWithoutPixelsOrTooLarge) {
    PreviewSize resized;
    EXPECT_FALSE(ResizePreview({400, 0}, 100, resized).ok());  // no proportions to keep
    EXPECT_FALSE(ResizePreview({0, 400}, 100, resized).ok());
    EXPECT_FALSE(ResizePreview({1, 400}, 200, resized).ok());  // 0.5 pixels wide
    EXPECT_FALSE(ResizePreview({400, 300}, kMaxPreviewSide + 1, resized).ok());
    EXPECT_FALSE(ResizePreview({400, 100}, 4000, resized).ok());  // 16000 wide
    EXPECT_TRUE(ResizePreview({400, 100}, 2048, resized).ok());
    EXPECT_EQ(resized, (PreviewSize{8192, 2048}));
}

}  // namespace
}  // namespace gw
