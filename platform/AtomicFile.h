#pragma once
// Replacing a file as a whole: the new content goes to a temporary file beside the old one,
// reaches the disk, and is then renamed over the old name. A crash, a full disk or a folder
// without write permission leaves the old file as it was, and no temporary file behind.

#include <string>

// False when the content could not be put in place; the old file (if any) is then unchanged.
// A link is followed: the file it points to is replaced, and the link stays.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);
