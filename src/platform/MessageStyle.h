#pragma once

// The style word of a message box, with the values the sibling programs'
// platform gives its icon flags, so a style read from their world means the
// same here. Every box has one OK button.

namespace platform {

inline constexpr unsigned kMessageError = 0x10;
inline constexpr unsigned kMessageWarning = 0x30;
inline constexpr unsigned kMessageInformation = 0x40;
inline constexpr unsigned kMessageIconMask = 0xF0;

// What a box answers when its OK button is pressed.
inline constexpr int kMessageOk = 1;

}  // namespace platform
