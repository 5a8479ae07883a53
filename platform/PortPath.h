#pragma once
// How a port number n becomes a device on this platform. On Windows it is \\.\COMn, always
// (WinPortPath.cpp): Windows names its ports itself, and there is no ports folder. On Linux:
//   <ports folder>/COMn   if it exists (a link to a real device, or a pseudo-terminal of the
//                          simulator or the redirector), and from then on for the whole run,
//                          also while that link is away (a simulator or bridge restarting): the
//                          port is then not opened, and never becomes another device;
//   /dev/ttyS<n-1>         for a number never found in the ports folder.
// COM0 never opens. The ports folder is "ports" beside the configuration file in the program,
// and whatever qtvctl --ports names.

#include <string>

// A new folder forgets which numbers were found in the old one.
void SetPortsFolder(const std::string& folder);
// The device path for COMn, or "" for n == 0 or n >= 100.
std::string PortDevicePath(unsigned portNumber);
