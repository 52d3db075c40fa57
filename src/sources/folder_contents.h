#pragma once

#include <string>

namespace quill {

// Why a folder may not be emptied by "Delete all files in this folder".
enum class EmptyingRefusal {
  None,            // the folder may be emptied
  EmptyPath,       // no folder named: the path would be the file system's root
  FileSystemRoot,  // the root of the file system
  HomeFolder,      // the user's home folder, or a folder that holds it
};

// Checks a BLOB root before anything in it is deleted. home_folder is the
// user's home (empty: none known). Paths are compared after resolving ".",
// ".." and symbolic links, so "/tmp/.." counts as the file system's root.
EmptyingRefusal CheckFolderToEmpty(const std::string& root, const std::string& home_folder);

// The user's home folder: $HOME, else the password database's entry.
std::string UserHomeFolder();

// Deletes everything inside root and keeps root itself. First pass: every
// sub-folder except those named "startup" (any letter case) is removed with
// DeleteFolderTree; second pass: every other entry is deleted, files named
// "startup" too. Each pass stops at the first entry that fails. A symbolic
// link is deleted as a link, never followed. Write permission is given to an
// entry that lacks it before it is handled, as clearing a read-only attribute.
// False when root cannot be opened or an entry failed; what was removed before
// the failure stays removed.
bool DeleteFolderContents(const std::string& root);

// Removes folder with everything in it, never following a symbolic link; true
// when the folder itself could be removed.
bool DeleteFolderTree(const std::string& folder);

}  // namespace quill
