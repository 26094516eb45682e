#include "setup/core/install_steps.h"

#include "setup/core/packed_version.h"

namespace setup {
namespace {

// The carried copy's version, read from a copy in the temporary folder.
std::uint32_t CarriedVersion(InstallerFiles& files, std::span<const std::uint8_t> carried) {
    const std::string copy = files.NewTemporaryFile();
    if (copy.empty()) return 0;
    const std::uint32_t version = files.WriteWhole(copy, carried) ? files.PackedVersion(copy) : 0;
    files.Remove(copy);
    return version;
}

}  // namespace

InstallOutcome InstallCarriedFile(InstallerFiles& files, InstallerPrompts& prompts,
                                  std::span<const std::uint8_t> carried,
                                  const std::string& target, std::string_view name) {
    const bool installed = files.Exists(target);
    if (installed) {
        const std::uint32_t carriedVersion = CarriedVersion(files, carried);
        if (DecideUpgrade(files.PackedVersion(target), carriedVersion) == UpgradeDecision::Keep)
            return InstallOutcome::Kept;
        if (!prompts.AskToUpgrade(FillIn(kUpgradeQuestion, {name})))
            return InstallOutcome::Declined;
    }
    const InstallOutcome failed = installed ? InstallOutcome::NotReplaced : InstallOutcome::NotWritten;

    const std::string fresh = files.NewFileBeside(target);
    // An empty carried copy is a missing resource: never installed as a file.
    if (fresh.empty() || carried.empty() || !files.WriteWhole(fresh, carried)) {
        if (!fresh.empty()) files.Remove(fresh);
        prompts.ShowError(FillIn(kCannotWrite, {name, target}));
        return failed;
    }
    if (!files.Replace(fresh, target)) {
        files.Remove(fresh);
        prompts.ShowError(installed ? FillIn(kCannotReplace, {name})
                                    : FillIn(kCannotWrite, {name, target}));
        return failed;
    }
    return InstallOutcome::Written;
}

std::string PreviewStatus(InstallOutcome saver, bool madeCurrent) {
    if (saver == InstallOutcome::NotWritten) return kStatusNotInstalled;
    if (!madeCurrent) return kStatusNotCurrent;
    if (saver == InstallOutcome::NotReplaced) return kStatusNotUpgraded;
    return kStatusInstalled;
}

std::string FillIn(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string text;
    auto value = values.begin();
    for (std::size_t at = 0; at < pattern.size(); ++at) {
        if (pattern.substr(at, 2) == "%s" && value != values.end()) {
            text += *value++;
            ++at;
        } else {
            text += pattern[at];
        }
    }
    return text;
}

}  // namespace setup
