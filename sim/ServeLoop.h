#pragma once
// The simulator's one loop: waits for the PC's bytes, the control channel and the next reply
// byte that falls due, and hands each to the bus, until a stop is asked for.

#include <csignal>

#include "sim/Attachment.h"
#include "sim/Bus.h"
#include "sim/ControlSocket.h"
#include "sim/Moment.h"

// The moment now: steady milliseconds since the simulator started, and the host's local time.
Moment Now();

// Runs until *stop becomes non-zero.
void Serve(Bus& bus, Attachment& attachment, ControlSocket* control, const volatile std::sig_atomic_t* stop);
