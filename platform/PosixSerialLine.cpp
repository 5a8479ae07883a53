#include "platform/PosixSerialLine.h"
