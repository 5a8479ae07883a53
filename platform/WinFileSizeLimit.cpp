#include "platform/FileSizeLimit.h"

// Windows has no file-size limit that ends a process: a write beyond what the disk takes fails.
void IgnoreFileSizeLimitSignal() {}
