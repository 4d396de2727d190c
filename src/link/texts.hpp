#pragma once
// Texts the link shows in the monitor (first) and writes to the log (second), verbatim.
#include <string_view>

namespace orva::link::texts {

struct Pair {
  std::string_view monitor;
  std::string_view log;
};

inline constexpr Pair kNotOpen{"\r\n!! RS-232C not open.", "\n!! RS-232C not open."};
inline constexpr Pair kWriteError{"\r\n!! RS-232C write error.", "\n!! RS-232C write error."};
inline constexpr Pair kReadError{"\r\n!! RS-232C read error.", "\n!! RS-232C read error."};
inline constexpr Pair kReceiveError{"\r\n!! RS-232C receive error.", "\n!! RS-232C receive error."};
// The reason given for a transfer tried on a line that is not open.
inline constexpr std::string_view kPortNotOpen = "the port is not open";

}  // namespace orva::link::texts

namespace orva::link::texts {

// Negotiation and protocol selection. Monitor forms; the log forms have "\n" for "\r\n".
inline constexpr std::string_view kNegotiation = "\r\n<< Serial Port Negotiation ... !! >>";
inline constexpr std::string_view kCheckBaudrate = "\r\n   check baudrate ... ";
inline constexpr std::string_view kAfpAccessCheck = "\r\n\r\n<< AFP Access Check ... !! >>";
inline constexpr std::string_view kEapAccessCheck = "\r\n\r\n<< EAP Access Check ... !! >>";
inline constexpr std::string_view kChangeToAfp = "\r\n\r\n<< Change to AFP >>";
inline constexpr std::string_view kChangeToEap = "\r\n\r\n<< Change to EAP >>";
inline constexpr Pair kChangeBaudrate{"\r\n\r\n<< Change Serial baudrate ... >>", "\n\n<< Changen Serial baudrate ... >>"};
inline constexpr Pair kCameraReset{"\r\n\r\n<< Camera reset >>", "\n\n<< Camera reset >>"};

// The camera speed change dialog's questions.
inline constexpr std::string_view kBaudrateNotChanged = "The baudrate is not changed.";
inline constexpr std::string_view kBaudrateNotChangedTitle = "Message";
inline constexpr std::string_view kBaudrateChangeQuestion = "Serial baudrate for camera will be changed \u2026 \nAre you sure ?";
inline constexpr std::string_view kBaudrateChangeTitle = "Attention";

}  // namespace orva::link::texts
