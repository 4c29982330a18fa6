// The sender the collection takes from a returned mail, for fuzzing and for replaying what
// fuzzing found. The input is a mail as the collection fetches it: it is written into a file and
// read by parseMessageFile, the collection's own path. The sender it gives must be the one the
// MIME parser reads from the header, or none: a message with one From field holding one mailbox
// to the parser, that mailbox's address and no other.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform::mail::fuzz {

// False when the collection takes a sender that the parser does not read from the header.
bool mailSenderHolds(const std::uint8_t* data, std::size_t size);

} // namespace platform::mail::fuzz
