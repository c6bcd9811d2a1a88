#include "core/util/RunFiles.h"

#include "core/util/OutputFile.h"
#include "tests/TestSupport.h"
#include "tests/util/FaultyFileOps.h"

#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>

namespace gw {
namespace {

using test::Exists;
using test::TempDir;
using test::WriteFile;

TEST(RunFilesTest, AnOutputThatIsAnInputIsRefusedUnderAnyName) {
    TempDir dir;
    WriteFile(dir.Path("coast.pal"), "palette");
    WriteFile(dir.Path("coast.hdr"), "header");
    std::filesystem::create_hard_link(dir.Path("coast.pal"), dir.Path("hard.map"));
    std::filesystem::create_symlink(dir.Path("coast.hdr"), dir.Path("soft.l2"));
    const std::vector<RunInput> inputs = {{dir.Path("coast.hdr"), "the DEM header"},
                                          {dir.Path("coast.pal"), "the palette"},
                                          {dir.Path("gone.e00"), "an E00 file"}};
    const struct {
        std::string output;
        std::string refusal;  // empty: allowed
    } cases[] = {
        {dir.Path("coast.pal"), dir.Path("coast.pal") + " is the palette this run reads"},
        {dir.Path("hard.map"), dir.Path("hard.map") + " is the palette this run reads"},
        {dir.Path("soft.l2"), dir.Path("soft.l2") + " is the DEM header this run reads"},
        {dir.Path("new.l2"), ""},
        {dir.Path("gone.e00"), ""},
    };
    for (const auto& c : cases) {
        const Status status = CheckOutputsAreNotInputs(inputs, {dir.Path("other.o2"), c.output});
        EXPECT_EQ(status.message(), c.refusal) << c.output;
        EXPECT_EQ(status.code(), c.refusal.empty() ? Status::Code::kOk : Status::Code::kInvalidArgument);
    }
}

// A file written whole that cannot be written leaves the earlier file as it was.
TEST(RunFilesTest, AWholeFileThatFailsLeavesTheEarlierOne) {
    TempDir dir;
    WriteFile(dir.Path("p.png"), "earlier");
    for (const auto call : {test::FaultyFileOps::Call::kWrite, test::FaultyFileOps::Call::kSync,
                            test::FaultyFileOps::Call::kRename}) {
        test::FaultyFileOps ops(call, "p.png");
        EXPECT_FALSE(WriteWholeFile(dir.Path("p.png"), std::string(3 << 20, 'x'), ops).ok());
        EXPECT_EQ(test::ReadFile(dir.Path("p.png")), "earlier");
    }
    EXPECT_TRUE(WriteWholeFile(dir.Path("p.png"), "new").ok());
    EXPECT_EQ(test::ReadFile(dir.Path("p.png")), "new");
}

TEST(RunFilesTest, TemporariesOfEndedRunsAreRemovedOthersKept) {
    TempDir dir;
    const pid_t ended = ::fork();
    if (ended == 0) ::_exit(0);
    ::waitpid(ended, nullptr, 0);
    const std::string target = dir.Path("t.l2");
    const std::string stale = TemporaryPathFor(target, std::to_string(ended) + "-3");
    const std::string running = TemporaryPathFor(target, std::to_string(::getppid()) + "-0");
    const std::string otherOutput = TemporaryPathFor(dir.Path("t.o2"), std::to_string(ended) + "-4");
    const std::string notOurs = dir.Path(".t.l2.notes.part");
    for (const std::string& path : {stale, running, otherOutput, notOurs}) WriteFile(path, "x");

    EXPECT_EQ(RemoveStaleTemporaries(target), std::vector<std::string>{stale});
    EXPECT_FALSE(Exists(stale));
    for (const std::string& path : {running, otherOutput, notOurs}) EXPECT_TRUE(Exists(path)) << path;

    // Creating an output clears its stale temporaries and says which.
    WriteFile(stale, "x");
    OutputFile file;
    ASSERT_TRUE(file.Create(target).ok());
    EXPECT_EQ(file.removed_stale(), std::vector<std::string>{stale});
}

}  // namespace
}  // namespace gw
