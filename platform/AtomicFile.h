#pragma once
// Replacing a file as a whole: the new content goes to a temporary file beside the old one,
// reaches the disk, and is then renamed over the old name. A crash, a full disk or a folder
// without write permission leaves the old file as it was, and no temporary file behind.
//
// A folder that takes no new file while the file itself may be written (an administrator made
// only the file writable) would keep the file from ever being saved: then the content is written
// into the file in place and flushed to disk. That is not atomic (a crash in the middle leaves a
// mixed file), so it is only the way out where the atomic replace cannot work. A full disk or a
// file-size limit during it puts the old content back.

#include <string>

// False when the content could not be put in place; the old file (if any) is then unchanged.
// A link is followed: the file it points to is replaced, and the link stays.
bool ReplaceFileAtomically(const std::string& path, const std::string& content);
