#include "core/util/RunFiles.h"

#include "core/util/OutputFile.h"
#include "core/util/Text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <csignal>
#include <filesystem>
#include <optional>

namespace gw {
namespace {

std::optional<std::pair<dev_t, ino_t>> IdentityOf(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return std::nullopt;
    return std::pair{info.st_dev, info.st_ino};
}

// The process id in a temporary's name "<prefix><pid>-<count>.part", or none when the
// name is not one of prefix's temporaries.
std::optional<pid_t> TemporaryOwner(std::string_view name, std::string_view prefix) {
    constexpr std::string_view kSuffix = ".part";
    if (!name.starts_with(prefix) || !name.ends_with(kSuffix)) return std::nullopt;
    const std::string_view unique = name.substr(prefix.size(), name.size() - prefix.size() - kSuffix.size());
    pid_t pid = 0;
    const auto [end, error] = std::from_chars(unique.data(), unique.data() + unique.size(), pid);
    if (error != std::errc() || pid <= 0 || end == unique.data() + unique.size() || *end != '-') return std::nullopt;
    std::size_t count = 0;
    const auto [countEnd, countError] = std::from_chars(end + 1, unique.data() + unique.size(), count);
    if (countError != std::errc() || countEnd != unique.data() + unique.size() || countEnd == end + 1) {
        return std::nullopt;
    }
    return pid;
}

bool IsRunning(pid_t pid) { return ::kill(pid, 0) == 0 || errno == EPERM; }

}  // namespace

Status CheckOutputsAreNotInputs(const std::vector<RunInput>& inputs, const std::vector<std::string>& outputs) {
    std::vector<std::pair<std::pair<dev_t, ino_t>, const RunInput*>> read;
    for (const RunInput& input : inputs) {
        if (const auto identity = IdentityOf(input.path)) read.emplace_back(*identity, &input);
    }
    for (const std::string& output : outputs) {
        const auto identity = IdentityOf(output);
        if (!identity) continue;
        for (const auto& [inputIdentity, input] : read) {
            if (inputIdentity == *identity) {
                return Status::InvalidArgument(output + " is " + input->role + " this run reads");
            }
        }
    }
    return Status::Ok();
}

std::vector<std::string> RemoveStaleTemporaries(const std::string& path) {
    const std::string sample = TemporaryPathFor(path, "");  // "<folder>.<name>..part"
    const std::string prefix = FileNameOf(sample.substr(0, sample.size() - std::string_view(".part").size()));
    const std::string folder = FolderOf(path);
    std::vector<std::string> removed;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder.empty() ? "." : folder, error)) {
        const std::string name = entry.path().filename().string();
        const std::optional<pid_t> owner = TemporaryOwner(name, prefix);
        if (!owner || *owner == ::getpid() || IsRunning(*owner)) continue;
        const std::string stale = folder + name;
        if (std::error_code ignored; entry.is_regular_file(ignored) && ::unlink(stale.c_str()) == 0) {
            removed.push_back(stale);
        }
    }
    return removed;
}

}  // namespace gw
