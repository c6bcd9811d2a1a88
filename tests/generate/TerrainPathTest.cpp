#include "core/generate/L2Writer.h"
#include "core/generate/TerrainPath.h"
#include "core/generate/TheaterLock.h"
#include "core/util/Text.h"

#include <gtest/gtest.h>

namespace gw {
namespace {

// A lower-case ".l2" in the file name names every output, its every ".l2" replaced;
// an upper-case ".L2" names only the tile and index files; a folder's never counts.
TEST(TerrainPathTest, TheL2OfTheFileNameNamesTheOutputs) {
    struct Case {
        const char* path;
        bool accepted, onlyTerrain;
        std::optional<std::string> description, index;
        const char* lock;
    };
    const Case cases[] = {
        {"/out/korea.l2", true, false, "/out/korea.txt", "/out/korea.o2", "/out/.korea.o2.lock"},
        {"korea.l2", true, false, "korea.txt", "korea.o2", ".korea.o2.lock"},
        {"/a/t.l2.l2", true, false, "/a/t.txt.txt", "/a/t.o2.o2", "/a/.t.o2.o2.lock"},
        {"/x.l2/t.l2", true, false, "/x.l2/t.txt", "/x.l2/t.o2", "/x.l2/.t.o2.lock"},
        {"/out/korea.L2", true, true, std::nullopt, "/out/korea.o2", "/out/.korea.o2.lock"},
        {"run.L2/T.L2", true, true, std::nullopt, "run.L2/T.o2", "run.L2/.T.o2.lock"},
        {"/out/korea.dat", false, false, std::nullopt, std::nullopt, ""},
        {"/out/theater.l2/korea", false, false, std::nullopt, std::nullopt, ""},
        {"/out.L2/korea", false, false, std::nullopt, std::nullopt, ""},
        {"run.l2/", false, false, std::nullopt, std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Status checked = CheckTerrainPath(c.path);
        EXPECT_EQ(checked.ok(), c.accepted);
        if (!c.accepted) {
            EXPECT_NE(checked.message().find(FileNameOf(c.path)), std::string::npos) << checked.message();
            EXPECT_NE(checked.message().find("\".l2\""), std::string::npos) << checked.message();
        }
        EXPECT_EQ(NamesOnlyTerrainFiles(c.path), c.onlyTerrain);
        EXPECT_EQ(OutputPathFor(c.path, ".txt"), c.description);
        EXPECT_EQ(IndexPathFor(c.path), c.index);
        EXPECT_EQ(TheaterLock::LockPathFor(c.path), c.lock);
    }
}

}  // namespace
}  // namespace gw
