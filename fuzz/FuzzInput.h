// A small reader that carves typed values out of a fuzzer's byte string.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : p_(data), n_(size) {}

  std::uint8_t Byte() { return n_ ? (--n_, *p_++) : 0; }

  template <class T>
  T Value() {
    T v{};
    const std::size_t k = n_ < sizeof(T) ? n_ : sizeof(T);
    std::memcpy(&v, p_, k);
    p_ += k;
    n_ -= k;
    return v;
  }

  // A string of up to `max` bytes, length taken from the input.
  std::string Text(std::size_t max) {
    std::size_t len = Byte();
    if (len > max) len = max;
    if (len > n_) len = n_;
    std::string s(reinterpret_cast<const char*>(p_), len);
    p_ += len;
    n_ -= len;
    return s;
  }

  // Everything that is left.
  std::string Rest() {
    std::string s(reinterpret_cast<const char*>(p_), n_);
    p_ += n_;
    n_ = 0;
    return s;
  }

 private:
  const std::uint8_t* p_;
  std::size_t n_;
};
