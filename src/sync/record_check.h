#pragma once
// A record from the workshop's server is another laptop's word, or anyone's who
// reached the server: before it is kept here it gets the checks a curve file gets,
// and more. Refused records are named with the reason; nothing in them reaches the
// editor or the ECU unchecked.
#include <cstdint>
#include <string>
#include <string_view>

#include "history/history_record.h"

namespace gasecu::sync {

// The most a record may weigh, every field counted: a curve file is under 1 KiB.
inline constexpr std::int64_t kLargestRecordBytes = std::int64_t{64} * 1024;

// Why a pulled record cannot be kept ("" when it can). `kindName` is the kind as
// the server holds it (the record's own kind is only set for a known one).
std::string RefusalOf(const history::Record& record, std::string_view kindName);

bool IsValidUtf8(std::string_view text);
// The text with every byte that is not part of a valid UTF-8 sequence replaced by
// U+FFFD: the server takes no other text, and one bad label must not stop a
// laptop's records from ever leaving it.
std::string AsValidUtf8(std::string_view text);

// Text from the server made safe for a message: valid UTF-8, no control
// characters, at most `most` bytes.
std::string Printable(std::string_view text, std::size_t most = 64);

}  // namespace gasecu::sync
