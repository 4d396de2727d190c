#pragma once
// Serves a virtual camera on a pseudo-terminal until told to stop.
//
// A single thread waits in poll() on the pty master, a stop descriptor (the caller's
// signalfd), an indication descriptor and a timer. Each byte from the tool goes through a
// LineModel: without line timing it is answered at once; with it, answers leave on one line
// timeline with absolute deadlines (a timerfd armed with TFD_TIMER_ABSTIME on
// CLOCK_MONOTONIC), so a per-character exchange costs about two character times. The same
// timer wakes the loop when the camera sends of its own accord (an AFP completion). The
// tool's speed is read back from the slave with every batch of bytes: at another speed than
// the camera's (after a speed change and restart: its new one) the camera hears noise and
// gives no answer. A hang-up fault closes both ends of the pty, so the tool sees its device
// vanish, and ends the service.
#include <cstdio>

#include "core/error.hpp"
#include "sim/pty.hpp"
#include "sim/virtual_camera.hpp"

namespace orva::sim {

struct ServeOptions {
  bool lineTiming = false;
  std::FILE* frameLog = nullptr;  // where each frame and its answer is printed; none: quiet
  // Readable when the camera is to raise an IR cut filter change request: a signalfd raises
  // I12T (in to out) for SIGUSR2 and I11T (out to in) for any other signal, an eventfd I11T;
  // -1: never.
  int indicationFd = -1;
};

enum class ServeEnd { Stopped, HungUp };

core::Result<ServeEnd> servePty(Pty& pty, VirtualCamera& camera, int stopFd, const ServeOptions& options);

}  // namespace orva::sim
