#pragma once
// How a port number n becomes a device on this platform:
//   <ports folder>/COMn   if it exists (a link to a real device, or a pseudo-terminal of the
//                          simulator or the redirector), otherwise
//   /dev/ttyS<n-1>.
// COM0 never opens. The ports folder is "ports" beside the configuration file in the program,
// and whatever qtvctl --ports names.

#include <string>

void SetPortsFolder(const std::string& folder);
const std::string& PortsFolder();
// The device path for COMn, or "" for n == 0 or n >= 100.
std::string PortDevicePath(unsigned portNumber);
