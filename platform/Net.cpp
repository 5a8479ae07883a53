#include "platform/Net.h"
