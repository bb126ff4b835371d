// The scrambler of stored database passwords. Passwords are never written in
// clear: a password travels as 30 scrambled bytes (password, ":", a 19-char
// time stamp) in Base64, 40 characters.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace kvq {

// The byte cipher. Each output byte feeds the state, in both directions, so
// Unscramble(Scramble(x)) == x for any bytes.
class TEncrypt {
 public:
  std::uint32_t key = 47305;
  std::uint32_t const1 = 60811;
  std::uint32_t const2 = 29461;

  std::string Scramble(std::string_view plain) const;
  std::string Unscramble(std::string_view scrambled) const;
};

// The stored form of `password`, stamped with the current time tag:
// 40 Base64 characters. A password that this form cannot carry whole (one
// holding ":" or of 30 or more bytes) is stored in the long form instead:
// "*" followed by the Base64 of the scrambled length of the password in
// decimal, ":", the password, ":" and the stamp.
std::string ScramblePassword(std::string_view password);

// The password of a stored value. Empty for an empty, malformed or too short
// value and for a 40-character value without ":" in its 30 bytes.
std::string UnscramblePassword(std::string_view stored);

}  // namespace kvq
