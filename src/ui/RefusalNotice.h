#pragma once

// Why a field did not take what was typed, pasted or composed into it. The
// fields refuse characters the system code page cannot hold, and a keystroke
// that silently does nothing leaves the translator guessing; a tip under the
// field names the characters and the code page that lacks them.

#include <QString>

class QWidget;
class TextCodec;

namespace RefusalNotice {

// How many refused characters the notice names; the rest are only counted,
// since a long paste could otherwise fill the screen.
inline constexpr int kNamedCharacters = 3;

// The notice for `refused` under `codec`, e.g.
//   "ñ" cannot be saved: code page windows-1250 has no such character.
// Empty when the code page holds all of `refused`.
QString Text(const TextCodec& codec, const QString& refused);

// Shows the notice for `refused` under the system code page as a tip just
// below `field`, owned by it. Nothing when `field` is hidden or the code
// page holds all of `refused`.
void Show(QWidget* field, const QString& refused);

}  // namespace RefusalNotice
