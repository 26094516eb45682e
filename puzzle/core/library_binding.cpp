#include "puzzle/core/library_binding.h"

#include <vector>

#include "common/core/number_text.h"

namespace puzzle {
namespace {

using common::FileFault;
using common::PlacementFiles;
using common::StagedCopy;

std::string LibraryIn(const std::string& folder) { return folder + "\\" + kLibraryFile; }

std::uint32_t VersionOf(PlacementFiles& files, const std::string& path) {
    const auto text = files.VersionText(path);
    return text ? common::PackedVersion(*text, kLibraryVersionSeparators) : 0;
}

bool BindOrComplain(BindingSystem& system, const std::string& path) {
    if (system.BindFrom(path)) return true;
    system.ShowError(kWrongLibraryVersion);
    return false;
}

struct Failure {
    std::string folder;
    FileFault fault;
};

std::string CannotWriteText(const std::vector<Failure>& failures) {
    std::string text = kCannotWriteLibrary;
    for (const Failure& failure : failures) {
        text +=
            " " + (failure.folder.empty() ? std::string("The system directory") : failure.folder);
        switch (failure.fault) {
        case FileFault::Refused: text += ": the system refused it."; break;
        case FileFault::DiskFull: text += ": the disk is full."; break;
        case FileFault::InUse: text += ": a program holds the file open."; break;
        default: text += ": it could not be written."; break;
        }
    }
    return text;
}

enum class SystemCopy { Bound, Failed, NotWritable };

// The system directory's copy: the installed one when it is as new as the
// carried one, else the carried one put in place (over an older one only
// after asking).
SystemCopy BindFromSystemFolder(BindingSystem& system, PlacementFiles& files,
                                std::span<const std::uint8_t> carried, const std::string& folder,
                                FileFault& fault) {
    StagedCopy copy(files, carried, folder);
    fault = copy.Fault();
    if (!copy) return SystemCopy::NotWritable;
    const std::string installed = LibraryIn(folder);
    if (files.Exists(installed)) {
        if (VersionOf(files, copy.Path()) <= VersionOf(files, installed)) {
            copy.Discard();
            return BindOrComplain(system, installed) ? SystemCopy::Bound : SystemCopy::Failed;
        }
        if (!system.AskToUpgrade(kUpgradeQuestion)) return SystemCopy::Failed;
    }
    fault = copy.MoveTo(installed);
    if (fault == FileFault::None)
        return BindOrComplain(system, installed) ? SystemCopy::Bound : SystemCopy::Failed;
    if (fault == FileFault::InUse) {
        system.ShowError(kCannotDeleteLibrary);
        return SystemCopy::Failed;
    }
    return SystemCopy::NotWritable;
}

// The carried copy into a folder of the user's own. An earlier copy there
// that is as new stays: another run of the saver (a preview beside the
// full-screen saver) may have it loaded. The carried copy itself, found
// there by every later start, is taken as it is, without writing a copy to
// compare with.
FileFault PlaceInUserFolder(PlacementFiles& files, std::span<const std::uint8_t> carried,
                            const std::string& folder) {
    const std::string path = LibraryIn(folder);
    if (files.Holds(path, carried)) return FileFault::None;
    StagedCopy copy(files, carried, folder);
    if (!copy) return copy.Fault();
    const std::uint32_t earlier = VersionOf(files, path);
    if (earlier != 0 && earlier >= VersionOf(files, copy.Path())) return FileFault::None;
    return copy.MoveTo(path);
}

}  // namespace

bool BindImageLibrary(BindingSystem& system, PlacementFiles& files) {
    if (system.BindByName()) return true;
    const auto carried = system.CarriedLibrary();
    const std::string systemFolder = system.SystemFolder();
    if (carried.empty()) {
        if (!systemFolder.empty() && system.BindFrom(LibraryIn(systemFolder))) return true;
        system.ShowError(kLibraryNotCarried);
        return false;
    }

    std::vector<Failure> failures{{systemFolder, FileFault::Failed}};
    switch (BindFromSystemFolder(system, files, carried, systemFolder, failures[0].fault)) {
    case SystemCopy::Bound: return true;
    case SystemCopy::Failed: return false;
    case SystemCopy::NotWritable: break;
    }

    // The system directory does not take the copy (a standard user may not
    // write there): the user's own folder serves, without a word.
    for (auto folderOf : {&BindingSystem::LocalDataFolder, &BindingSystem::TemporaryFolder}) {
        const std::string folder = (system.*folderOf)();
        if (folder.empty()) continue;
        const FileFault fault = PlaceInUserFolder(files, carried, folder);
        if (fault == FileFault::None) return BindOrComplain(system, LibraryIn(folder));
        // An earlier copy that could not be replaced may still serve.
        if (system.BindFrom(LibraryIn(folder))) return true;
        failures.push_back({folder, fault});
    }
    system.ShowError(CannotWriteText(failures));
    return false;
}

}  // namespace puzzle
