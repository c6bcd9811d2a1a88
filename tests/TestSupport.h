#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace gw::test {

// A fresh folder, removed with everything in it when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string Path(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

void WriteFile(const std::string& path, const std::string& bytes);
std::string ReadFile(const std::string& path);
bool Exists(const std::string& path);
// Every entry of a folder, hidden ones included, with the bytes of the regular files.
std::map<std::string, std::string> Contents(const std::string& folder);

struct DemSpec {
    int rows = 4;
    int columns = 4;
    double left = 0, right = 4, upper = 4, lower = 0;
    std::string unit = "feet";
    std::vector<std::int16_t> posts;  // rows x columns, north row first; zeros if empty
};

// Writes NAME.hdr and NAME.bin in dir; returns the header's path.
std::string WriteDem(const TempDir& dir, const std::string& name, const DemSpec& spec);

// The folder of real test data beside the project, or empty when it is absent.
std::string SharedDataDir();
// The bundled sample folder and the built command-line program.
std::string SampleDir();
std::string CliPath();

// The per-user configuration folder (XDG_CONFIG_HOME) of the commands RunCommand runs:
// a folder of the test run's own, so that no user's stored settings are read.
std::string ConfigHome();

// Runs a command through the shell; returns its exit status and what it printed.
struct CommandResult {
    int status = -1;
    std::string out;
    std::string err;
};
CommandResult RunCommand(const std::string& command);
// Runs the command-line program with args, after the environment assignments env if any.
CommandResult RunCli(const std::string& args, const std::string& env = "");
// The bundled sample DEM's header, and a file of the real test data by its relative path.
std::string SamplePath();
std::string SharedPath(const std::string& relative);
bool Has(const std::string& text, const std::string& part);

}  // namespace gw::test

#define SKIP_WITHOUT_SHARED_DATA()                                              \
    do {                                                                        \
        if (gw::test::SharedDataDir().empty()) GTEST_SKIP() << "no shared data"; \
    } while (0)
