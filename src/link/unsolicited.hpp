#pragma once
// What the camera sends without being asked for it by a frame: the short message it sends
// once a command has completed (the arrival of the zoom at a preset, the end of a memory
// operation), and the stream of status messages it sends while it reports its state.
//
// Error model. takeMessage() is the end of the command that asked for the message: a line
// that fails while it waits is reported and reopened like any command, and it gives nothing.
// A message that does not come complete by the deadline gives nothing, and what came of it is
// dropped, so that it is not taken for the answer to the next command. listen() reports
// nothing: a failed line is simply tried again a read limit later, and bytes are handed on as
// they come.
//
// Threads. takeMessage() holds the link's command lock while it waits, so no other command
// goes out before the message is in. listen() runs on the caller's thread (the operation
// thread) without holding the lock: it is the line's reader (Link::setReaderStop) and steps
// aside while another thread's command is on the line, then reads on, so a register written
// from the window thread meanwhile gets its own answer. Its byte handler runs on the
// listening thread and must neither send commands nor wait for the window thread.
// Waits go through the link's clock and end at once when the stop is requested.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <stop_token>
#include <string>

#include "core/clock.hpp"
#include "core/deadline.hpp"
#include "link/link.hpp"

namespace orva::link {

// Waits until `count` bytes have come from the camera, or until `deadline` passes (a limit
// counted from when the command that asks for the message began), or until `stop`. The bytes
// are taken, shown in the camera pane as one text exactly as they came, and returned; further
// bytes stay on the line. Without a camera the deadline is waited out and nothing comes.
std::optional<std::string> takeMessage(Link& link, std::size_t count, const core::Deadline& deadline,
                                       std::stop_token stop = {});

using ByteHandler = std::function<void(std::uint8_t)>;

// Shows every byte the camera sends in the PC pane, one character per append, and hands it
// to `onByte` (which may be empty), until `stop` is requested; then goes on for `tail`, for
// the end of a message that was arriving when the stop came. Returns when both are over.
void listen(Link& link, std::stop_token stop, const ByteHandler& onByte, core::Clock::duration tail = {});

}  // namespace orva::link
