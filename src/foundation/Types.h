// Basic types shared by every layer of KV Quillon.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kvq {

// Whole seconds since 1984-12-31 00:00:00 local time.
using TimeTag = std::int32_t;
// Days since 1984-12-31; 1 is 1985-01-01, 0 also means "no date".
using DayNumber = std::uint16_t;

// The 8-byte marker for "no reply / no text": "N/A" followed by
// 0x00 0x17 0x0F 0x0F 0x06. Ordinary input can never produce it.
inline constexpr char kNotAvailableBytes[8] = {'N', '/', 'A', '\x00', '\x17', '\x0F', '\x0F', '\x06'};
inline constexpr std::string_view NotAvailable{kNotAvailableBytes, 8};

// The bit pattern of a missing or bad value in data files, raw replies and
// value arrays (a float not-a-number).
inline constexpr std::uint32_t kMissingValueBits = 0xFFFFFFFFu;

// Whether a text is exactly the not-available marker.
inline bool IsNotAvailable(std::string_view text) { return text == NotAvailable; }

}  // namespace kvq
