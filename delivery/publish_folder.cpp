#include "delivery/publish_folder.h"

#include "convert/presentation_name.h"
#include "convert/result_codes.h"
#include "delivery/destination_type.h"
#include "log/debug_log.h"
#include "log/failure.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <random>
#include <set>
#include <vector>

namespace fs = std::filesystem;

namespace {

const char* const kName = "PublishFolder";
const std::string kStagingPrefix = ".korvanta-staging-";

// The local tree to publish, as paths relative to its root; parents before
// their children.
struct LocalTree
{
    std::vector<std::string> folders;
    std::vector<std::string> files;
};

// A name a listing may give us that stays inside its folder.
bool IsPlainName(const std::string& name)
{
    return !name.empty() && name != "." && name != ".." &&
           std::none_of(name.begin(), name.end(), [](unsigned char c) {
               return c == '/' || c == '\\' || c < 0x20 || c == 0x7F;
           });
}

bool IsStagingFolder(const TargetEntry& entry)
{
    return entry.kind != TargetEntry::Kind::File && entry.name.starts_with(kStagingPrefix);
}

std::string NewStagingName()
{
    std::random_device random;
    char suffix[17];
    std::snprintf(suffix, sizeof suffix, "%08x%08x", random(), random());
    return kStagingPrefix + suffix;
}

// The entries of one folder, in name order, so that slides go out in order.
std::vector<fs::directory_entry> SortedEntries(const fs::path& folder)
{
    std::vector<fs::directory_entry> entries;
    std::error_code error;
    fs::directory_iterator entry(folder, error);
    for (; !error && entry != fs::directory_iterator(); entry.increment(error))
        entries.push_back(*entry);
    if (error)
        throw Failure("The image folder " + folder.string() +
                      " cannot be read: " + error.message());
    std::sort(entries.begin(), entries.end());
    return entries;
}

void ReadTree(const fs::path& root, const std::string& relative, LocalTree& tree)
{
    for (const fs::directory_entry& entry : SortedEntries(root / relative)) {
        const std::string path = JoinPath(relative, entry.path().filename().string());
        std::error_code error;
        // Links are not followed: nothing outside the image folder goes out.
        const fs::file_type type = entry.symlink_status(error).type();
        if (type == fs::file_type::directory) {
            tree.folders.push_back(path);
            ReadTree(root, path, tree);
        } else if (type == fs::file_type::regular) {
            tree.files.push_back(path);
        } else {
            throw Failure("The entry " + (root / path).string() + " is no file or folder.");
        }
    }
}

// Removes folder and everything below it. An entry a listing cannot type is
// taken for a folder when it cannot be removed as a file.
void RemoveTree(PublishTarget& target, const std::string& folder)
{
    for (const TargetEntry& entry : target.List(folder)) {
        if (!IsPlainName(entry.name))
            throw Failure("The folder " + folder + " lists an entry named " + entry.name + ".");
        const std::string path = JoinPath(folder, entry.name);
        if (entry.kind == TargetEntry::Kind::Folder) {
            RemoveTree(target, path);
        } else if (!target.RemoveFile(path)) {
            if (entry.kind != TargetEntry::Kind::Unknown)
                throw Failure("The file " + path + " cannot be removed.");
            RemoveTree(target, path);
        }
    }
    if (!target.RemoveFolder(folder))
        throw Failure("The folder " + folder + " cannot be removed.");
}

// Clean-up after a failure: what fails here is logged, and the first
// failure stays the one reported.
template <class Step> void Quietly(Step step)
{
    try {
        step();
    } catch (const Failure& failure) {
        LogError(kName, "%s", failure.what());
    }
}

void Stage(const fs::path& imageFolder, const LocalTree& tree, PublishTarget& target,
           const std::string& staging, const std::function<void(int, int)>& progress)
{
    for (const std::string& folder : tree.folders)
        target.MakeFolder(JoinPath(staging, folder));
    const int count = static_cast<int>(tree.files.size());
    for (int staged = 0; staged < count; ++staged) {
        const std::string& file = tree.files[static_cast<std::size_t>(staged)];
        target.WriteFile(imageFolder / file, JoinPath(staging, file));
        if (progress)
            progress(staged + 1, count);
    }
}

// Renames every staged file over its published one. False when the
// destination refuses renames, which the first one tells, before anything
// was moved.
bool MoveIntoPlace(const LocalTree& tree, PublishTarget& target, const std::string& staging,
                   const std::string& published)
{
    for (const std::string& folder : tree.folders)
        target.MakeFolder(JoinPath(published, folder));
    std::vector<std::pair<std::string, std::string>> moves;
    for (const std::string& file : tree.files)
        moves.emplace_back(JoinPath(staging, file), JoinPath(published, file));
    if (moves.empty())
        return true;
    if (!target.Rename(moves.front().first, moves.front().second))
        return false;
    moves.erase(moves.begin());
    target.RenameAll(moves);
    return true;
}

void WriteInPlace(const fs::path& imageFolder, const LocalTree& tree, PublishTarget& target,
                  const std::string& published)
{
    LogInfo(kName, " The destination refuses renames: the images are written in place.");
    for (const std::string& file : tree.files)
        target.WriteFile(imageFolder / file, JoinPath(published, file));
}

// After the switch the staging folder holds the tree's folders only: they
// go without a listing. False when something is still in it.
bool RemoveEmptiedStaging(const LocalTree& tree, PublishTarget& target, const std::string& staging)
{
    for (auto folder = tree.folders.rbegin(); folder != tree.folders.rend(); ++folder) {
        if (!target.RemoveFolder(JoinPath(staging, *folder)))
            return false;
    }
    return target.RemoveFolder(staging);
}

// Slide images an earlier publish left that the new set does not replace.
void RemoveStaleImages(const std::vector<TargetEntry>& before, const LocalTree& tree,
                       PublishTarget& target, const std::string& published)
{
    const std::set<std::string> fresh(tree.files.begin(), tree.files.end());
    for (const TargetEntry& entry : before) {
        if (!IsSlideImageName(entry.name) || fresh.contains(entry.name) ||
            entry.kind == TargetEntry::Kind::Folder || entry.kind == TargetEntry::Kind::Other)
            continue;
        // A name that cannot be removed as a file is a folder: not ours.
        const std::string image = JoinPath(published, entry.name);
        if (!target.RemoveFile(image) && entry.kind == TargetEntry::Kind::File)
            throw Failure("The old image " + image + " cannot be removed.");
    }
}

} // namespace

void PublishRequest(const SendingData& request, PublishTarget& target, const std::string& function)
{
    // Only a plain name keeps the images inside <destination>/<folderName>.
    if (!IsConfinedFolderName(request.folderName))
        throw CodedFailure(RESULT_DELIVERY_FAILED, "Invalid parameter.");
    try {
        PublishFolder(JoinPath(request.srcFolder, request.folderName), target, request.progress);
    } catch (const Failure& failure) {
        LogError(function, "%s", failure.what());
        throw CodedFailure(RESULT_DELIVERY_FAILED, "SHFileOperationW() failed.");
    }
}

bool IsSlideImageName(const std::string& name)
{
    const std::string prefix = "slide";
    const std::string suffix = ".jpg";
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
        !name.ends_with(suffix))
        return false;
    return std::all_of(name.begin() + prefix.size(), name.end() - suffix.size(),
                       [](unsigned char c) { return std::isdigit(c) != 0; });
}

void PublishFolder(const fs::path& imageFolder, PublishTarget& target,
                   const std::function<void(int, int)>& progress)
{
    std::error_code error;
    if (fs::symlink_status(imageFolder, error).type() != fs::file_type::directory)
        throw Failure("The image folder " + imageFolder.string() + " cannot be read.");
    LocalTree tree;
    ReadTree(imageFolder, "", tree);
    target.MakeDestination();
    const std::string published = imageFolder.filename().string();
    const bool made = target.MakeFolder(published);
    const std::string staging = JoinPath(published, NewStagingName());
    bool staged = false;
    bool switching = false;
    try {
        target.HoldFolder(published);
        const std::vector<TargetEntry> before = target.List(published);
        for (const TargetEntry& entry : before) {
            if (IsStagingFolder(entry) && IsPlainName(entry.name))
                RemoveTree(target, JoinPath(published, entry.name));
        }
        target.MakeFolder(staging);
        staged = true;
        Stage(imageFolder, tree, target, staging, progress);
        switching = true;
        if (!MoveIntoPlace(tree, target, staging, published))
            WriteInPlace(imageFolder, tree, target, published);
        RemoveStaleImages(before, tree, target, published);
        if (!RemoveEmptiedStaging(tree, target, staging))
            RemoveTree(target, staging);
    } catch (...) {
        if (staged)
            Quietly([&] { RemoveTree(target, staging); });
        // A folder this publish made holds nothing of anybody's.
        if (made && !switching)
            Quietly([&] { target.RemoveFolder(published); });
        throw;
    }
}
