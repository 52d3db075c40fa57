#pragma once

#include <string>

namespace quill {

// The folder of the running executable, ending with "/". Files that live beside
// the program ("options.ini", "languages/", "pssw/") are found through it.
std::string ProgramFolder();

}  // namespace quill
