// The mail layer's readers of outside input, for fuzzing and for replaying what fuzzing found.
// The input's first byte picks what the rest is:
//   0  a returned mail, parsed as the collection parses it;
//   1  a vCard file;
//   2  a CSV address list;
//   3  the fields of an outgoing mail, separated by the byte 0xFF (sender, recipient, subject,
//      attachment name, then the attachment's bytes): the mail is built and parsed back.
// Each must end without a crash; the round trip must also give back the attachment's name and
// bytes unchanged, or refuse the fields (a sender, recipient or name that may not go into a mail).
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::mail::fuzz {

// False when the round trip neither refused the fields nor gave the attachment back unchanged.
bool mailInputHolds(const std::uint8_t* data, std::size_t size);

} // namespace platform::mail::fuzz
