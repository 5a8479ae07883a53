#pragma once
// qtvctl's actions over many commands: backup, compare and restore of a station's parameter
// set, and the setting of clocks. Each prints one line per parameter or station and returns
// the exit status (0 everything succeeded, 1 not).

#include "tools/qtvctl/Options.h"

int RunServiceAction(const Options& options);
