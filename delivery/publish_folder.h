#pragma once

#include "delivery/publish_target.h"
#include "delivery/sending_data.h"

#include <filesystem>
#include <functional>
#include <string>

// Publishes the local folder imageFolder at target as the folder of the same
// name, all at once:
// - the tree is first written to a hidden staging folder inside it, then each
//   file is renamed over the published one;
// - slide images of an earlier publish ("slide", digits, ".jpg") that are not
//   in the new set are removed, and everything else in the folder is left;
// - what an earlier publish staged and never switched is removed first.
// Until the first rename, a failure leaves the folder as it was, and what was
// staged is removed while the target still allows it; a folder the publish
// made goes too. Where the destination refuses renames, the files are
// written in place instead. Links and special files in imageFolder, and
// entries that cannot be listed, fail the publish before anything is
// written. progress, when given, is told of each file staged. Throws Failure.
void PublishFolder(const std::filesystem::path& imageFolder, PublishTarget& target,
                   const std::function<void(int staged, int count)>& progress = {});

// PublishFolder for a delivery request: srcFolder/folderName, whose name must
// be a plain one, with the request's progress. A failure is logged under
// function and raised as CodedFailure(23, "SHFileOperationW() failed.").
void PublishRequest(const SendingData& request, PublishTarget& target, const std::string& function);

// "slide", one or more digits, ".jpg".
bool IsSlideImageName(const std::string& name);
