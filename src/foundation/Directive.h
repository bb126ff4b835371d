// The directive language: one small syntax to build text (FormatStr) and to
// read it back (ScanStr). Command strings, data-file description lines, file
// names, time stamps and typed values all go through it.
//
//   % [0] [width] [.precision] letter [terminator]
//
// An upper-case letter marks a field of a comma-separated line: the formatter
// writes a "," before it when the output is not empty, the scanner skips to
// and over the next "," after it.
//
// Decisions of ours where the language leaves room:
//  - Infinite reals in R and X are written "INF" and "-INF", right-aligned in
//    the width (a not-a-number writes nothing). M takes an integer, so it never
//    sees an infinity.
//  - F with a string shorter than its width pads with blanks to the width.
//  - A format that asks for more arguments than given reads the missing ones
//    as "no value": empty text, 0, or a not-a-number real.
//  - A width or precision above 65535 counts as 65535.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "foundation/Types.h"

namespace kvq {

// One argument of the formatter: a tagged value. Integral types become
// integers (kept to 32 bits), bool a boolean, char a character, floating
// types a real, text a string. A string argument only refers to its text: it
// must outlive the call, which every argument of a single call does.
class FormatArg {
 public:
  enum class Kind : std::uint8_t { None, Integer, Boolean, Character, Real, String };

  FormatArg() = default;
  template <class T>
    requires(std::is_integral_v<T> && !std::is_same_v<T, bool> && !std::is_same_v<T, char>)
  FormatArg(T v) : kind_(Kind::Integer), int_(static_cast<std::int32_t>(v)) {}
  FormatArg(bool v) : kind_(Kind::Boolean), int_(v ? 1 : 0) {}
  FormatArg(char v) : kind_(Kind::Character), int_(static_cast<unsigned char>(v)), char_(v) {}
  FormatArg(float v) : kind_(Kind::Real), real_(v) {}
  FormatArg(double v) : kind_(Kind::Real), real_(v) {}
  FormatArg(long double v) : kind_(Kind::Real), real_(static_cast<double>(v)) {}
  FormatArg(const char* v) : kind_(Kind::String), str_(v ? std::string_view(v) : std::string_view()) {}
  FormatArg(std::string_view v) : kind_(Kind::String), str_(v) {}
  FormatArg(const std::string& v) : kind_(Kind::String), str_(v) {}

  Kind kind() const { return kind_; }
  // The value read as each directive family reads it; a wrong kind is read as
  // its raw value (boolean 0/1, character code, real truncated and saturated)
  // or as empty text / not-a-number where there is no sensible raw value.
  std::int32_t AsInteger() const;
  double AsReal() const;
  bool AsBoolean() const;
  std::string_view AsString() const;  // string and character kinds; empty otherwise
  char AsCharacter() const;

 private:
  Kind kind_ = Kind::None;
  std::int32_t int_ = 0;
  char char_ = 0;  // backing store for AsString() of a character
  double real_ = 0.0;
  std::string_view str_;
};

// One entry of the scanner's target list: a reference to a variable of one
// of the scanner's kinds, or (Value) an integer taken by a "*" width or
// precision. A directive writing into a target of another kind converts
// between numeric kinds and leaves the variable alone otherwise; surplus
// directives scan their field and drop the value.
class ScanArg {
 public:
  enum class Kind : std::uint8_t { Value, String, Int32, UInt16, Float, Double, Boolean, Character };

  ScanArg(std::string& v) : kind_(Kind::String), ptr_(&v) {}
  ScanArg(std::int32_t& v) : kind_(Kind::Int32), ptr_(&v) {}
  ScanArg(std::uint16_t& v) : kind_(Kind::UInt16), ptr_(&v) {}
  ScanArg(float& v) : kind_(Kind::Float), ptr_(&v) {}
  ScanArg(double& v) : kind_(Kind::Double), ptr_(&v) {}
  ScanArg(bool& v) : kind_(Kind::Boolean), ptr_(&v) {}
  ScanArg(char& v) : kind_(Kind::Character), ptr_(&v) {}
  // An integer value for a "*" width or precision.
  static ScanArg Value(std::int32_t v) {
    ScanArg a;
    a.value_ = v;
    return a;
  }

  Kind kind() const { return kind_; }
  void* target() const { return ptr_; }
  std::int32_t value() const { return value_; }

 private:
  ScanArg() = default;
  Kind kind_ = Kind::Value;
  void* ptr_ = nullptr;
  std::int32_t value_ = 0;
};

// ---- formatter -------------------------------------------------------------

// Appends the text of `format` with `args` to `out`. Never fails.
void FormatAppendList(std::string& out, std::string_view format, std::span<const FormatArg> args);

// A new string built from `format` and `args`.
std::string FormatList(std::string_view format, std::span<const FormatArg> args);

template <class... A>
void FormatAppend(std::string& out, std::string_view format, const A&... args) {
  const FormatArg list[] = {FormatArg(args)..., FormatArg()};
  FormatAppendList(out, format, std::span<const FormatArg>(list, sizeof...(A)));
}

template <class... A>
std::string FormatStr(std::string_view format, const A&... args) {
  const FormatArg list[] = {FormatArg(args)..., FormatArg()};
  return FormatList(format, std::span<const FormatArg>(list, sizeof...(A)));
}

// ---- scanner ---------------------------------------------------------------

// Scans `text` from the 1-based `position` (0 or less counts as 1; beyond the
// end counts as the end) under `format`, storing fields into `targets`. On
// return `position` is the 1-based index of the first character not consumed.
// True when no field and no literal failed outside a "[" ... "]" section; the
// whole format is always processed.
bool ScanListAt(std::string_view text, int& position, std::string_view format,
                std::span<const ScanArg> targets);

// ScanListAt from position 1.
bool ScanList(std::string_view text, std::string_view format, std::span<const ScanArg> targets);

template <class... A>
bool ScanStrAt(std::string_view text, int& position, std::string_view format, A&&... targets) {
  const ScanArg list[] = {ScanArg(std::forward<A>(targets))..., ScanArg::Value(0)};
  return ScanListAt(text, position, format, std::span<const ScanArg>(list, sizeof...(A)));
}

template <class... A>
bool ScanStr(std::string_view text, std::string_view format, A&&... targets) {
  int position = 1;
  return ScanStrAt(text, position, format, std::forward<A>(targets)...);
}

// ---- comma lists -----------------------------------------------------------

// 1-based number of the first "%P" field of `list` equal to `name`
// (case-insensitive); 0 when none matches or the list is empty.
int FieldIndex(std::string_view name, std::string_view list);

// The "%P" fields of a comma list, up to its end or its first line end.
std::vector<std::string> CommaFields(std::string_view list);

// Deletes the first field equal to `name` (case-insensitive) together with the
// comma after it (the comma before it when it is the last field and not the
// first). True when a field was deleted.
bool DeleteField(std::string_view name, std::string& list);

// 0 when `text` is the not-available marker; otherwise reads the next "%P"
// field of `text` at `position` (moving it on) and returns its FieldIndex in
// `list`.
int NextFieldIndex(std::string_view text, int& position, std::string_view list);

// Converts a decimal real (leading and trailing blanks allowed). When the text
// fails exactly at a CR, the part before it is converted. Empty or unreadable
// text gives `fallback`.
double TextToReal(std::string_view text, double fallback);

// Strict decimal real: blanks, optional sign, digits with an optional ".",
// optional exponent, blanks. True and the value when the whole text is one.
// Independent of the process locale.
bool TryParseReal(std::string_view text, double& value);

// ---- regional separators -----------------------------------------------------

// Sets the date and time separators of the D, T and J sub-formats (default
// "/" and ":"). Call once at start, before any other thread runs.
void SetRegionalSeparators(std::string_view dateSeparator, std::string_view timeSeparator);
const std::string& DateSeparator();
const std::string& TimeSeparator();

// Case-insensitive comparison of byte strings (ASCII letters only).
bool SameText(std::string_view a, std::string_view b);
// Case-insensitive ordering (ASCII letters only), for sorted keys.
struct TextLess {
  bool operator()(std::string_view a, std::string_view b) const;
  using is_transparent = void;
};
// ASCII upper case of a byte string.
std::string UpperCase(std::string_view s);

}  // namespace kvq
