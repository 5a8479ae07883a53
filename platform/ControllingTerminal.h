#pragma once
// Whether a terminal belongs to someone's session. A terminal that is the controlling terminal of
// a process (a shell's terminal, a serial console with its getty, this program's own terminal) is
// in use by programs that do not expect the bus link's settings and telegrams. A pseudo-terminal
// that the simulator or the redirector's bridge made has no session on it.
//
// The kernel tells a process only about its own controlling terminal (TIOCGSID on a terminal's
// slave side fails for any other), so the answer comes from what every process shows of itself:
// the terminal device in /proc/<pid>/stat. Processes hidden from this one (/proc mounted with
// hidepid) are not seen.

// True when the open file descriptor is a terminal that is the controlling terminal of any
// process that can be seen. Reads nothing from and changes nothing on the terminal.
bool IsSomeonesControllingTerminal(int fd);
