#include "platform/PortPath.h"
