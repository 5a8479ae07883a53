#pragma once
// A symbolic link a program makes to its pseudo-terminal (qtvsim's port, cprmgrcmd's mapping)
// and must not leave behind, however it ends. Only the link as it was made is ever removed: one
// that someone has since removed, replaced or pointed elsewhere is left alone, because it is no
// longer ours. A link is known by its target and by the file it is (device, inode and the moment
// it was made), so a new link to the same target is not mistaken for the old one, even when the
// system hands out the same inode and the same pseudo-terminal number again.

#include <cstdint>
#include <optional>
#include <string>

struct LinkIdentity {
    std::string target;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t madeNs = 0;  // its change time, nanoseconds since the epoch
    bool operator==(const LinkIdentity&) const = default;
};

// The link at path as it is now, or nothing when there is no link there.
std::optional<LinkIdentity> IdentifyLink(const std::string& path);

// Removes the link at path if it is still the one made; true when that link is no longer there
// (removed now, or gone before), false when it could not be removed.
bool RemoveLinkIfStill(const std::string& path, const LinkIdentity& made);

// The link of this process. While one exists, a fatal signal (SIGSEGV, SIGBUS, SIGFPE, SIGILL,
// SIGABRT, which an uncaught exception ends in) removes it before the process dies; the program's
// own handling of SIGTERM, SIGINT and SIGHUP ends through remove(). One per process.
class OwnedLink {
public:
    OwnedLink() = default;
    ~OwnedLink() { remove(); }
    OwnedLink(const OwnedLink&) = delete;
    OwnedLink& operator=(const OwnedLink&) = delete;

    // Makes the link path -> target; a name that exists is never replaced. False with errno set
    // when the link cannot be made.
    bool make(const std::string& target, const std::string& path);
    bool made() const { return identity_.has_value(); }
    const LinkIdentity& identity() const { return *identity_; }
    // True while the link is there as made.
    bool stillThere() const;
    // Removes the link if it is still ours, and forgets it in any case.
    void remove();

private:
    std::string path_;
    std::optional<LinkIdentity> identity_;
};
