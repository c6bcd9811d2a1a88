#include "core/dem/SparseReads.h"

#include "tests/TestSupport.h"
#include "core/document/GridwrightDoc.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

TEST(SparseReads, ReadsTheSamePosts) {
    test::TempDir dir;
    test::DemSpec spec;
    spec.posts = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    CGridwrightDoc doc;
    ASSERT_TRUE(doc.OnOpenDocument(test::WriteDem(dir, "dem", spec)).ok());
    {
        const ScopedSparseReads sparse(doc.raster());
        EXPECT_EQ(doc.GetElevation(1, 2), 10);
    }
    EXPECT_EQ(doc.GetElevation(3, 3), 16);
}

}  // namespace
}  // namespace gw
