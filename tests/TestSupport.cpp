#include "tests/TestSupport.h"

#include "core/util/LittleEndian.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace gw::test {

TempDir::TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "gridwright-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, ignored);
    std::filesystem::remove_all(m_path, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool Exists(const std::string& path) { return std::filesystem::exists(path); }

std::map<std::string, std::string> Contents(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files[entry.path().filename()] = entry.is_regular_file() ? ReadFile(entry.path()) : "<not a regular file>";
    }
    return files;
}

std::string WriteDem(const TempDir& dir, const std::string& name, const DemSpec& spec) {
    std::ostringstream header;
    header.precision(17);
    header << "file_title = " << name << "\nleft_map_x = " << spec.left << "\nright_map_x = " << spec.right
           << "\nupper_map_y = " << spec.upper << "\nlower_map_y = " << spec.lower
           << "\nnumber_of_rows = " << spec.rows << "\nnumber_of_columns = " << spec.columns
           << "\nelev_m_unit = " << spec.unit << "\n";
    const std::string headerPath = dir.Path(name + ".hdr");
    WriteFile(headerPath, header.str());
    std::string raster(std::size_t(spec.rows) * spec.columns * 2, '\0');
    for (std::size_t i = 0; i < spec.posts.size(); ++i) {
        PutLE16(reinterpret_cast<std::uint8_t*>(&raster[2 * i]), static_cast<std::uint16_t>(spec.posts[i]));
    }
    WriteFile(dir.Path(name + ".bin"), raster);
    return headerPath;
}

std::string SharedDataDir() {
    const std::string dir = GRIDWRIGHT_SHARED_DATA;
    return std::filesystem::is_directory(dir + "/dem") ? dir : std::string();
}

std::string SampleDir() { return GRIDWRIGHT_SAMPLE_DIR; }
std::string CliPath() { return GRIDWRIGHT_CLI; }

std::string ConfigHome() {
    static TempDir home;
    return home.Path("");
}

CommandResult RunCommand(const std::string& command) {
    TempDir capture;
    const std::string out = capture.Path("out"), err = capture.Path("err");
    const std::string isolated = "XDG_CONFIG_HOME=" + ConfigHome() + " " + command;
    const int raw = std::system((isolated + " >" + out + " 2>" + err + " </dev/null").c_str());
    CommandResult result;
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.out = ReadFile(out);
    result.err = ReadFile(err);
    return result;
}

CommandResult RunCli(const std::string& args, const std::string& env) {
    return RunCommand(env + (env.empty() ? "" : " ") + CliPath() + " " + args);
}

std::string SamplePath() { return SampleDir() + "/coast.hdr"; }
std::string SharedPath(const std::string& relative) { return SharedDataDir() + "/" + relative; }
bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

}  // namespace gw::test
