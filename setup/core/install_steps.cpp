#include "setup/core/install_steps.h"

#include <optional>

#include "common/core/number_text.h"
#include "setup/core/packed_version.h"

namespace setup {
namespace {

using common::FileFault;
using common::StagedCopy;

// A version record's text splits at dots or commas, as version records
// are written ("1, 0, 0, 5"); the saver reads its library's at dots alone.
std::uint32_t VersionOf(common::PlacementFiles& files, const std::string& path) {
    const auto text = files.VersionText(path);
    return text ? common::PackedVersion(*text, ".,") : 0;
}

// The carried copy's version from a copy in `folder`; nothing when that copy
// cannot be written.
std::optional<std::uint32_t> CarriedVersionIn(common::PlacementFiles& files,
                                              std::span<const std::uint8_t> carried,
                                              const std::string& folder) {
    const StagedCopy copy(files, carried, folder);
    if (!copy) return std::nullopt;
    return VersionOf(files, copy.Path());
}

// What happened, for a copy that could not be written (`replacing` false) or
// not moved over an installed one.
std::string FailureText(FileFault fault, bool replacing, std::string_view name,
                        const std::string& target) {
    switch (fault) {
    case FileFault::Missing: return FillIn(kNotCarried, {name});
    case FileFault::DiskFull: return FillIn(kCannotWrite, {name, target});
    case FileFault::Refused:
        return FillIn(replacing ? kReplaceRefused : kWriteRefused, {name, target});
    case FileFault::InUse:
        if (replacing) return FillIn(kCannotReplace, {name});
        break;
    default: break;
    }
    return FillIn(kWriteFailed, {name, target});
}

// Edgewake's library put in place and told to set up its service; true when
// the carried copy (or one as new) is in place and did so.
bool InstallEdgewake(common::PlacementFiles& files, InstallerPrompts& prompts,
                     InstallerSystem& system, const std::string& library,
                     const std::string& temporaryFolder) {
    // A running service holds its library: it is told to let go first.
    system.CallEdgewake(library, "TerminateService");
    const InstallOutcome outcome = InstallCarriedFile(
        files, prompts, system.Carried(kEdgewakeResource), library, kEdgewakeName, temporaryFolder);
    if (outcome == InstallOutcome::NotWritten) return false;
    switch (system.CallEdgewake(library, "InstallSilently")) {
    case EdgewakeCall::Called: return outcome != InstallOutcome::NotReplaced;
    case EdgewakeCall::NotLoaded: prompts.ShowError(FillIn(kEdgewakeNotLoaded, {library})); break;
    case EdgewakeCall::NoEntry: prompts.ShowError(FillIn(kEdgewakeNoSetup, {library})); break;
    }
    return false;
}

}  // namespace

InstallOutcome InstallCarriedFile(common::PlacementFiles& files, InstallerPrompts& prompts,
                                  std::span<const std::uint8_t> carried, const std::string& target,
                                  std::string_view name, const std::string& temporaryFolder) {
    const bool installed = files.Exists(target);
    StagedCopy copy(files, carried, common::FolderOf(target));
    if (installed) {
        // Nothing needs writing when the installed copy is as new. The
        // carried version is read from the copy beside the target, or from
        // one in the temporary folder where none could be written there.
        const std::optional<std::uint32_t> carriedVersion =
            copy ? VersionOf(files, copy.Path())
                 : CarriedVersionIn(files, carried, temporaryFolder);
        if (carriedVersion &&
            DecideUpgrade(VersionOf(files, target), *carriedVersion) == UpgradeDecision::Keep)
            return InstallOutcome::Kept;
    }
    const InstallOutcome failed =
        installed ? InstallOutcome::NotReplaced : InstallOutcome::NotWritten;
    if (!copy) {
        prompts.ShowError(FailureText(copy.Fault(), false, name, target));
        return failed;
    }
    if (installed && !prompts.AskToUpgrade(FillIn(kUpgradeQuestion, {name})))
        return InstallOutcome::Declined;
    const FileFault moved = copy.MoveTo(target);
    if (moved != FileFault::None) {
        prompts.ShowError(FailureText(moved, installed, name, target));
        return failed;
    }
    return InstallOutcome::Written;
}

InstallResult RunInstallation(common::PlacementFiles& files, InstallerPrompts& prompts,
                              InstallerSystem& system, const std::string& saverFile,
                              std::string_view saverName) {
    const std::string windows = system.WindowsDirectory();
    if (windows.empty()) {
        prompts.ShowError(kNoWindowsDirectory);
        return {"", false, kStatusNotInstalled};
    }
    const std::string temporary = system.TemporaryFolder();
    const bool hotCorners =
        InstallEdgewake(files, prompts, system, windows + "\\" + kEdgewakeFile, temporary);
    const std::string saver = windows + "\\" + saverFile;
    const InstallOutcome outcome = InstallCarriedFile(
        files, prompts, system.Carried(kSaverResource), saver, saverName, temporary);
    // A saver that is not there is neither made current nor previewed.
    const bool inPlace = outcome != InstallOutcome::NotWritten;
    const bool current = inPlace && system.MakeCurrentSaver(saver);
    return {saver, inPlace, PreviewStatus(outcome, current, hotCorners)};
}

std::string PreviewStatus(InstallOutcome saver, bool madeCurrent, bool hotCorners) {
    if (saver == InstallOutcome::NotWritten) return kStatusNotInstalled;
    if (!madeCurrent) return kStatusNotCurrent;
    if (saver == InstallOutcome::NotReplaced) return kStatusNotUpgraded;
    if (!hotCorners) return kStatusNoHotCorners;
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
