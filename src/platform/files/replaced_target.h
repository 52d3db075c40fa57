#pragma once

#include <string>

namespace quill {

// The checks and names of a file that is written beside its target under a
// temporary name and then renamed over it.

// Throws InOutError when the entry at target_path is one that a new file
// must not take the place of: a folder, a device, a FIFO or a socket. A
// symbolic link there is replaced itself, never followed; a file with other
// hard links is replaced under this name only, its other names keep their
// bytes.
void CheckReplaceableTarget(const std::string& target_path);

// The mkstemp pattern of the temporary file beside the target: "." + the
// target's name + ".XXXXXX", the name cut so that the whole is still one
// name the file systems here take.
std::string TemporaryPatternBeside(const std::string& target_path);

// Makes the folder `folder`, which lies inside `root` (root + "/" + names):
// root as the user gave it (a link there is the user's own), then each
// folder below it, which must be a folder of its own, never a link planted
// under that name to lead the files elsewhere. Throws InOutError.
void CreateFoldersInside(const std::string& root, const std::string& folder);

}  // namespace quill
