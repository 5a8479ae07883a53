#include "platform/AppendFile.h"
