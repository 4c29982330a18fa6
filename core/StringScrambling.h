// The program's own reversible scrambling of stored passwords and identifiers. Every
// character becomes a group of a length mark ("3" or "4") and three or four base-93
// digits written as the characters "!" to "}", with a random factor per character, so
// that the same text scrambles differently each time: callers compare decoded texts,
// never scrambled ones. There is no key; the form only keeps values from being read at
// a glance. Neither function throws or shows anything; both show the busy pointer while
// they run.
#pragma once

#include <QString>
#include <functional>

namespace core {

// Scrambles a text. Characters are taken by their single-byte (Latin-1) code 0 to 255;
// a character outside that set cannot be carried by the form and is scrambled as "?".
QString EncodeString(const QString& text) noexcept;

// Gives the factor (10 to 28) for each character in turn; lets tests choose the factors.
using ScrambleFactorSource = std::function<int()>;

// Scrambles with factors from the given source instead of the random one. A factor
// outside 10 to 28 is brought to the nearer end of that range.
QString EncodeString(const QString& text, const ScrambleFactorSource& drawFactor) noexcept;

// Reads a scrambled text back. A text that was not made by EncodeString decodes without
// error to some other, usually shorter, text, often the empty one.
QString DecodeString(const QString& text) noexcept;

// True when every character of the text can be carried by the scrambled form (Latin-1).
bool IsScramblable(const QString& text) noexcept;

// Compares a scrambled text with a plain one, without regard to case: the scrambled side is
// decoded, and the plain side goes through the form once, so that a character the form
// cannot carry reads as on the stored side.
bool ScrambledEquals(const QString& scrambled, const QString& plain) noexcept;

} // namespace core
