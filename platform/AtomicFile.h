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

#include "platform/PlainFile.h"

// False when the content could not be put in place; the old file (if any) is then unchanged.
// Only a regular file or a free name is replaced (platform/PlainFile): a pipe, a device, a socket
// or a folder is refused and left as it is. A link is refused too, unless links is Follow (the
// configuration file): then the file it reaches is replaced, when that is a regular file, and the
// link stays.
bool ReplaceFileAtomically(const std::string& path, const std::string& content, Links links = Links::Refuse);

// The same replacement for content too large to hold in memory at once (an export of many
// days): written piece by piece into the temporary file, put in place only by Commit().
// Destroyed without a successful Commit(), it removes the temporary file and the old file stays.
// It has no way out in place: in a folder that takes no new file, Open() fails.
class AtomicFileWriter {
public:
    AtomicFileWriter() = default;
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;
    ~AtomicFileWriter();

    // False when the target is refused (as above) or no temporary file can be made beside it.
    bool Open(const std::string& path, Links links = Links::Refuse);
    bool Write(const std::string& bytes);  // false once any write failed (a full disk)
    bool Commit();                          // false when the new content could not be put in place
    void Abandon();

private:
    int fd_ = -1;
    bool failed_ = false;
    std::string target_;
    std::string temporary_;
};
