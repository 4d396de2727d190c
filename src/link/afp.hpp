#pragma once
// AFP: framed set and get commands with a receive thread.
//
// The PC sends a whole frame — "S" payload "T" to set, "G" payload "T" to get — and the camera
// answers with frames of its own: R (accepted or refused, with the command's slot and a status
// digit), X (the completion of a set, later), Y (the data of a get) and I (an indication the
// camera raises by itself). A receive thread owned by this channel assembles the frames and
// hands them over by condition variable; the sending thread takes its replies, checks the
// status and shows them in the camera pane.
//
// Threads: set(), get() and exchangeTypedChar() run on the caller's thread, one command at a
// time (they hold the link's command lock). The receive thread runs from the first command
// (or receive()) after an open until the line closes, a command fails, another reader takes
// the line, or a stop is requested; it is always joined, never abandoned, and there is never
// more than one. Indication handlers and the completion notifier are called on the receive
// thread and must not block on the window thread, send commands or close the line (a close
// joins the receive thread); a GUI queues the notification and calls drainCompletions() from
// its own thread.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/link.hpp"

namespace orva::link {

struct AfpIndication {
  int kind = 0;   // 1 = IR cut filter change request
  int value = 0;  // with kind 1: 1 = out to in, 2 = in to out
};

class Afp {
 public:
  explicit Afp(Link& link);
  ~Afp();
  Afp(const Afp&) = delete;
  Afp& operator=(const Afp&) = delete;

  // "S" + payload + "T". True when the camera accepted it and, when waiting, completed it
  // with status 0 (a completion that does not come within about 5 s counts as done).
  bool set(std::string_view payload, bool waitForCompletion);
  // "G" + payload + "T". True with the value characters of the Y reply (function code and the
  // closing "T" removed) in `reply`; false with the R reply after its "R" (slot digit first)
  // when the camera refused.
  bool get(std::string_view payload, std::string& reply);
  // The status digit of the latest R or X reply a command took; 0 after a Y reply.
  int lastStatus() const;

  // A character the operator typed into the monitor while the camera speaks AFP.
  bool exchangeTypedChar(char c);
  // Identification found that the camera lets both protocols be chosen: a typed ":", ";"
  // or "/" is then answered with one character instead of a group of four.
  void setProtocolChoice(bool on);

  // Completions that arrived after their command returned: shown as the rules say and
  // consumed, up to the next R or Y reply. Returns false when it stopped at such a reply.
  bool drainCompletions();

  // Starts the receive thread on an open line when none runs, so that indications arrive
  // before the next command. Without a camera, or with the line closed, it does nothing.
  void receive();

  // Called on the receive thread for every I frame, in order.
  using IndicationHandler = std::function<void(const AfpIndication&)>;
  int subscribeIndications(IndicationHandler handler);
  void unsubscribeIndications(int id);
  // Called on the receive thread when an X reply has arrived.
  void setCompletionNotifier(std::function<void()> notify);

  // Stops and joins the receive thread (the link calls this before it closes the line or
  // before another protocol reads from it).
  void stopReceiver();

 private:
  struct State;
  std::unique_ptr<State> state_;
  Link& link_;
};

}  // namespace orva::link
