#include "foundation/Directive.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "foundation/TimeBase.h"

namespace kvq {

namespace {

constexpr int kMaxWidth = 65535;

char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLineEnd(char c) { return c == '\0' || c == '\n' || c == '\r'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The regional date and time separators of the D, T and J sub-formats.
struct Regional {
  std::string date = "/";
  std::string time = ":";
};

Regional& Reg() {
  static Regional r;
  return r;
}

std::int32_t SaturateToInt32(double v) {
  if (std::isnan(v)) return 0;
  if (v >= 2147483647.0) return std::numeric_limits<std::int32_t>::max();
  if (v <= -2147483648.0) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(v);
}

void PadLeft(std::string& out, std::string_view text, int width) {
  if (width > static_cast<int>(text.size())) out.append(width - text.size(), ' ');
  out += text;
}

// Removes zeros from the end of a fixed-point number while more than one
// character remains and the character before the last is not ".".
void StripTrailingZeros(std::string& out, std::size_t numberStart) {
  while (out.size() - numberStart > 1 && out.back() == '0' && out[out.size() - 2] != '.') out.pop_back();
}

// A fixed-point text is written without a sign when every digit is zero, so a
// tiny negative value shows as "0.00", never "-0.00".
void DropNegativeZero(char* begin, char*& end) {
  if (begin == end || *begin != '-') return;
  for (char* p = begin + 1; p != end; ++p)
    if (*p != '0' && *p != '.') return;
  std::memmove(begin, begin + 1, static_cast<std::size_t>(end - begin - 1));
  --end;
}

void AppendFixed(std::string& out, double v, int precision, int width, bool strip) {
  if (std::isnan(v)) return;
  const std::size_t start = out.size();
  if (std::isinf(v)) {
    PadLeft(out, v < 0 ? "-INF" : "INF", width);
    return;
  }
  char buf[420];
  auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, precision);
  char* end = res.ptr;
  DropNegativeZero(buf, end);
  PadLeft(out, std::string_view(buf, static_cast<std::size_t>(end - buf)), width);
  if (strip) StripTrailingZeros(out, start);
}

// Thousandths as exact decimal text, rounded half away from zero.
void AppendThousandths(std::string& out, std::int64_t v, int precision, int width, bool strip) {
  const std::size_t start = out.size();
  const bool negative = v < 0;
  std::uint64_t a = negative ? static_cast<std::uint64_t>(-v) : static_cast<std::uint64_t>(v);
  // scale to `precision` decimals
  std::uint64_t whole = a / 1000, frac = a % 1000;  // frac in thousandths
  std::string digits;
  if (precision >= 3) {
    char f[4];
    std::snprintf(f, sizeof f, "%03u", static_cast<unsigned>(frac));
    digits = std::to_string(whole);
    digits += '.';
    digits += f;
    digits.append(static_cast<std::size_t>(precision - 3), '0');
    if (precision == 0) digits.pop_back();
  } else {
    std::uint64_t div = precision == 2 ? 10 : precision == 1 ? 100 : 1000;
    std::uint64_t scaled = a / div, rest = a % div;
    if (rest * 2 >= div) ++scaled;
    std::uint64_t pow = precision == 2 ? 100 : precision == 1 ? 10 : 1;
    digits = std::to_string(scaled / pow);
    if (precision > 0) {
      std::string f = std::to_string(scaled % pow);
      digits += '.';
      digits.append(static_cast<std::size_t>(precision) - f.size(), '0');
      digits += f;
    }
  }
  bool allZero = std::all_of(digits.begin(), digits.end(), [](char c) { return c == '0' || c == '.'; });
  if (negative && !allZero) digits.insert(digits.begin(), '-');
  PadLeft(out, digits, width);
  if (strip) StripTrailingZeros(out, start);
}

// "%0Nw" of v: at least `width` digits, zero-filled, a minus sign in front.
void AppendZeroFilled(std::string& out, std::int64_t v, std::size_t width) {
  char buf[24];
  auto r = std::to_chars(buf, buf + sizeof buf, v);
  std::string_view s(buf, static_cast<std::size_t>(r.ptr - buf));
  if (s.size() >= width) {
    out += s;
  } else if (v < 0) {
    out += '-';
    out.append(width - s.size(), '0');
    out += s.substr(1);
  } else {
    out.append(width - s.size(), '0');
    out += s;
  }
}

// The D, T and J sub-formats written directly (the hot path of every time stamp).
void AppendDate(std::string& out, int month, int day, int year, const std::string& sep) {
  AppendZeroFilled(out, month, 2);
  out += sep;
  AppendZeroFilled(out, day, 2);
  out += sep;
  AppendZeroFilled(out, year, 4);
}

void AppendTime(std::string& out, std::int64_t h, std::int64_t m, std::int64_t s, const std::string& sep) {
  AppendZeroFilled(out, h, 2);
  out += sep;
  AppendZeroFilled(out, m, 2);
  out += sep;
  AppendZeroFilled(out, s, 2);
}

void AppendQuoted(std::string& out, std::string_view s) {
  char q = 0;
  if (s.find(',') != std::string_view::npos)
    q = s.find('"') != std::string_view::npos ? '\'' : '"';
  else if (!s.empty() && s.front() == '"')
    q = '\'';
  else if (!s.empty() && s.front() == '\'')
    q = '"';
  if (q) out += q;
  out += s;
  if (q) out += q;
}

}  // namespace

// ---- FormatArg -----------------------------------------------------------------

std::int32_t FormatArg::AsInteger() const {
  switch (kind_) {
    case Kind::Integer:
    case Kind::Boolean:
    case Kind::Character:
      return int_;
    case Kind::Real:
      return SaturateToInt32(std::trunc(real_));
    default:
      return 0;
  }
}

double FormatArg::AsReal() const {
  switch (kind_) {
    case Kind::Real:
      return real_;
    case Kind::Integer:
    case Kind::Boolean:
    case Kind::Character:
      return int_;
    default:
      return std::numeric_limits<double>::quiet_NaN();
  }
}

bool FormatArg::AsBoolean() const {
  switch (kind_) {
    case Kind::Real:
      return real_ != 0.0 && !std::isnan(real_);
    case Kind::Integer:
    case Kind::Boolean:
    case Kind::Character:
      return int_ != 0;
    default:
      return false;
  }
}

std::string_view FormatArg::AsString() const {
  if (kind_ == Kind::String) return str_;
  if (kind_ == Kind::Character) return std::string_view(&char_, 1);
  return {};
}

char FormatArg::AsCharacter() const {
  switch (kind_) {
    case Kind::Character:
      return char_;
    case Kind::Integer:
    case Kind::Boolean:
      return static_cast<char>(int_ & 0xFF);
    default:
      return 0;
  }
}

// ---- formatter ---------------------------------------------------------------

void FormatAppendList(std::string& out, std::string_view f, std::span<const FormatArg> args) {
  static const FormatArg none;
  std::size_t ai = 0;
  auto next = [&]() -> const FormatArg& { return ai < args.size() ? args[ai++] : none; };
  const Regional& reg = Reg();
  const std::size_t n = f.size();
  std::size_t i = 0;
  while (i < n) {
    // literal run
    std::size_t pct = f.find('%', i);
    if (pct == std::string_view::npos) {
      out.append(f.substr(i));
      break;
    }
    out.append(f.substr(i, pct - i));
    i = pct + 1;
    if (i < n && f[i] == '%') {
      out += '%';
      ++i;
      continue;
    }
    bool zero = false;
    std::size_t fieldStart = 0;
    if (i < n && f[i] == '0') {
      zero = true;
      fieldStart = out.size();
      ++i;
    }
    int width = 0;
    if (i < n && f[i] == '*') {
      width = next().AsInteger();
      ++i;
    } else {
      while (i < n && IsDigit(f[i])) {
        width = std::min(width * 10 + (f[i] - '0'), kMaxWidth);
        ++i;
      }
    }
    int precision = 6;
    if (i < n && f[i] == '.') {
      ++i;
      if (i < n && f[i] == '*') {
        precision = next().AsInteger();
        ++i;
      } else if (i < n && IsDigit(f[i])) {
        precision = 0;
        while (i < n && IsDigit(f[i])) {
          precision = std::min(precision * 10 + (f[i] - '0'), kMaxWidth);
          ++i;
        }
      }
    }
    width = std::clamp(width, 0, kMaxWidth);
    precision = std::max(precision, 0);
    bool strip = false;
    if (precision > 9) {
      precision = 9;
      strip = true;
    }
    if (i >= n) break;  // the format ended inside a directive
    const char letter = f[i++];
    if (letter >= 'A' && letter <= 'Z' && !out.empty()) out += ',';
    switch (Upper(letter)) {
      case ' ':
        out += '\xA0';
        break;
      case '"':
        AppendQuoted(out, next().AsString());
        break;
      case 'B':
        out += next().AsBoolean() ? "Yes" : "No";
        break;
      case 'C': {
        const FormatArg& a = next();
        if (a.kind() == FormatArg::Kind::String) {
          if (!a.AsString().empty()) out += a.AsString().front();
        } else if (a.kind() != FormatArg::Kind::None && a.kind() != FormatArg::Kind::Real) {
          out += a.AsCharacter();
        }
        break;
      }
      case 'D': {
        DateParts d = DecodeDayNumber(static_cast<DayNumber>(next().AsInteger() & 0xFFFF));
        AppendDate(out, d.month, d.day, d.year, reg.date);
        break;
      }
      case 'F': {
        std::string_view s = next().AsString();
        for (int k = 0; k < width; ++k) out += static_cast<std::size_t>(k) < s.size() ? s[k] : ' ';
        break;
      }
      case 'I':
      case 'L':
      case 'W': {
        char buf[16];
        auto r = std::to_chars(buf, buf + sizeof buf, next().AsInteger());
        PadLeft(out, std::string_view(buf, static_cast<std::size_t>(r.ptr - buf)), width);
        break;
      }
      case 'J': {
        DateTimeParts t = DecodeTimeTag(next().AsInteger());
        AppendDate(out, t.month, t.day, t.year, reg.date);
        out += ' ';
        AppendTime(out, t.hours, t.minutes, t.seconds, reg.time);
        break;
      }
      case 'M':
        AppendThousandths(out, next().AsInteger(), precision, width, strip);
        break;
      case 'N':
        out += "\r\n";
        break;
      case 'P':
      case 'S': {
        std::string_view s = next().AsString();
        out += s;
        if (width > static_cast<int>(s.size())) out.append(width - s.size(), ' ');
        break;
      }
      case 'R':
      case 'X':
        AppendFixed(out, next().AsReal(), precision, width, strip);
        break;
      case 'T': {
        std::int64_t v = next().AsInteger();
        if (v < 0) {
          out += '-';
          v = -v;
        }
        AppendTime(out, v / 3600, v % 3600 / 60, v % 60, reg.time);
        break;
      }
      default:
        break;  // unknown letters write nothing and take no argument
    }
    if (zero) {
      for (std::size_t k = fieldStart; k < out.size(); ++k)
        if (out[k] == ' ') out[k] = '0';
      if (fieldStart < out.size() && out[fieldStart] == '0') {
        for (std::size_t k = fieldStart + 1; k < out.size(); ++k) {
          if (out[k] == '+' || out[k] == '-') {
            out[fieldStart] = out[k];
            out[k] = '0';
            break;
          }
        }
      }
    }
  }
}

std::string FormatList(std::string_view format, std::span<const FormatArg> args) {
  std::string out;
  FormatAppendList(out, format, args);
  return out;
}

// ---- scanner -------------------------------------------------------------------

namespace {

// Where scanned values go: the target list walked left to right.
class TargetList {
 public:
  explicit TargetList(std::span<const ScanArg> list) : list_(list) {}

  const ScanArg* Take() { return next_ < list_.size() ? &list_[next_++] : nullptr; }

  // An integer value for "*": a value entry, or the current value of a numeric target.
  int TakeValue() {
    const ScanArg* a = Take();
    return a ? CurrentInt(a) : 0;
  }

  static std::int32_t CurrentInt(const ScanArg* a) {
    if (!a) return 0;
    switch (a->kind()) {
      case ScanArg::Kind::Value:
        return a->value();
      case ScanArg::Kind::Int32:
        return *static_cast<std::int32_t*>(a->target());
      case ScanArg::Kind::UInt16:
        return *static_cast<std::uint16_t*>(a->target());
      case ScanArg::Kind::Float:
        return SaturateToInt32(*static_cast<float*>(a->target()));
      case ScanArg::Kind::Double:
        return SaturateToInt32(*static_cast<double*>(a->target()));
      case ScanArg::Kind::Boolean:
        return *static_cast<bool*>(a->target()) ? 1 : 0;
      case ScanArg::Kind::Character:
        return static_cast<unsigned char>(*static_cast<char*>(a->target()));
      default:
        return 0;
    }
  }

  static void StoreString(const ScanArg* a, std::string_view v) {
    if (a && a->kind() == ScanArg::Kind::String) static_cast<std::string*>(a->target())->assign(v);
  }

  static void StoreInt(const ScanArg* a, std::int64_t v) {
    if (!a) return;
    switch (a->kind()) {
      case ScanArg::Kind::Int32:
        *static_cast<std::int32_t*>(a->target()) = static_cast<std::int32_t>(v);
        break;
      case ScanArg::Kind::UInt16:
        *static_cast<std::uint16_t*>(a->target()) = static_cast<std::uint16_t>(v);
        break;
      case ScanArg::Kind::Float:
        *static_cast<float*>(a->target()) = static_cast<float>(v);
        break;
      case ScanArg::Kind::Double:
        *static_cast<double*>(a->target()) = static_cast<double>(v);
        break;
      case ScanArg::Kind::Boolean:
        *static_cast<bool*>(a->target()) = v != 0;
        break;
      case ScanArg::Kind::Character:
        *static_cast<char*>(a->target()) = static_cast<char>(v);
        break;
      default:
        break;
    }
  }

  static void StoreReal(const ScanArg* a, double v) {
    if (!a) return;
    switch (a->kind()) {
      case ScanArg::Kind::Float:
        *static_cast<float*>(a->target()) = static_cast<float>(v);
        break;
      case ScanArg::Kind::Double:
        *static_cast<double*>(a->target()) = v;
        break;
      case ScanArg::Kind::Int32:
      case ScanArg::Kind::UInt16:
      case ScanArg::Kind::Boolean:
      case ScanArg::Kind::Character:
        StoreInt(a, SaturateToInt32(std::trunc(v)));
        break;
      default:
        break;
    }
  }

  // The all-ones pattern of a failed "%E".
  static void StoreMissingFloat(const ScanArg* a) {
    if (!a) return;
    if (a->kind() == ScanArg::Kind::Float) {
      std::memset(a->target(), 0xFF, sizeof(float));
    } else if (a->kind() == ScanArg::Kind::Double) {
      *static_cast<double*>(a->target()) = std::numeric_limits<double>::quiet_NaN();
    }
  }

 private:
  std::span<const ScanArg> list_;
  std::size_t next_ = 0;
};

class Scanner {
 public:
  Scanner(std::string_view text, std::size_t index) : t_(text), idx_(index) {}

  bool Run(std::string_view format, TargetList& targets);
  std::size_t index() const { return idx_; }

 private:
  // The character at i, or 0 at the end of the text or beyond the field limit.
  char At(std::size_t i) const { return i < limit_ ? t_[i] : '\0'; }
  char Raw(std::size_t i) const { return i < t_.size() ? t_[i] : '\0'; }

  std::string_view Token(bool sign, bool real);
  // The scanner sub-formats of D and T ("%w" sep "%w" sep "%w") read in place,
  // exactly as a sub-scan with those formats would read them.
  bool ScanTriple(const std::string& sep, std::uint16_t& a, std::uint16_t& b, std::uint16_t& c);
  bool ScanWord(std::uint16_t& v);
  bool MatchLiteral(std::string_view literal);
  std::string_view UpToCommaOrLineEnd() {
    const std::size_t start = idx_;
    while (!IsLineEnd(At(idx_)) && At(idx_) != ',') ++idx_;
    return t_.substr(start, idx_ - start);
  }

  std::string_view t_;
  std::size_t idx_;
  std::size_t limit_ = 0;
};

// Reads a number token: [sign] digits [. digits [E [sign] digits]] for reals.
std::string_view Scanner::Token(bool sign, bool real) {
  const std::size_t start = idx_;
  if (sign && (At(idx_) == '+' || At(idx_) == '-')) ++idx_;
  while (IsDigit(At(idx_))) ++idx_;
  if (real) {
    if (At(idx_) == '.') {
      ++idx_;
      while (IsDigit(At(idx_))) ++idx_;
    }
    if (At(idx_) == 'E' || At(idx_) == 'e') {
      ++idx_;
      if (At(idx_) == '+' || At(idx_) == '-') ++idx_;
      while (IsDigit(At(idx_))) ++idx_;
    }
  }
  return t_.substr(start, idx_ - start);
}

bool Scanner::ScanWord(std::uint16_t& v) {
  std::string_view tok = Token(false, false);
  std::uint32_t x = 0;
  for (char c : tok) {
    x = x * 10 + static_cast<std::uint32_t>(c - '0');
    if (x > 65535) return false;
  }
  if (tok.empty()) return false;
  v = static_cast<std::uint16_t>(x);
  return true;
}

bool Scanner::MatchLiteral(std::string_view literal) {
  bool ok = true;
  for (char c : literal) {
    if (idx_ < t_.size() && Upper(t_[idx_]) == Upper(c)) {
      ++idx_;
    } else {
      ok = false;
      if (idx_ < t_.size()) ++idx_;
    }
  }
  return ok;
}

bool Scanner::ScanTriple(const std::string& sep, std::uint16_t& a, std::uint16_t& b, std::uint16_t& c) {
  const std::size_t saved = limit_;
  limit_ = t_.size();  // the fields of a sub-scan have no width
  bool ok = ScanWord(a);
  ok = MatchLiteral(sep) && ok;
  ok = ScanWord(b) && ok;
  ok = MatchLiteral(sep) && ok;
  ok = ScanWord(c) && ok;
  limit_ = saved;
  return ok;
}

bool Scanner::Run(std::string_view f, TargetList& targets) {
  const Regional& reg = Reg();
  bool result = true;
  int sections = 0;
  const std::size_t n = f.size();
  std::size_t i = 0;
  while (i < n) {
    const char fc = f[i++];
    bool failed = false;
    if (fc != '%' || (i < n && f[i] == '%')) {
      if (fc == '%') ++i;  // "%%" is a literal "%"
      if (idx_ < t_.size() && Upper(t_[idx_]) == Upper(fc)) {
        ++idx_;
      } else {
        failed = true;
        if (idx_ < t_.size()) ++idx_;
      }
      if (failed && sections == 0) result = false;
      continue;
    }
    int width = 0;
    if (i < n && f[i] == '*') {
      width = targets.TakeValue();
      ++i;
    } else {
      while (i < n && IsDigit(f[i])) {
        width = std::min(width * 10 + (f[i] - '0'), kMaxWidth);
        ++i;
      }
    }
    if (i < n && f[i] == '.') {
      ++i;
      if (i < n && f[i] == '*') {
        targets.TakeValue();
        ++i;
      } else {
        while (i < n && IsDigit(f[i])) ++i;
      }
    }
    if (i >= n) break;
    const char letter = f[i++];
    const std::size_t fieldStart = idx_;
    limit_ = width > 0 ? std::min(t_.size(), fieldStart + static_cast<std::size_t>(width)) : t_.size();

    switch (Upper(letter)) {
      case '"': {
        const char term = i < n ? f[i++] : '\0';
        const ScanArg* target = targets.Take();
        std::string_view value;
        const char c = At(idx_);
        if (c == '"' || c == '\'') {
          ++idx_;
          const std::size_t start = idx_;
          while (!IsLineEnd(At(idx_)) && At(idx_) != c) ++idx_;
          value = t_.substr(start, idx_ - start);
          if (At(idx_) == c) ++idx_;
          while (!IsLineEnd(At(idx_)) && At(idx_) != term) ++idx_;
        } else {
          const std::size_t start = idx_;
          while (!IsLineEnd(At(idx_)) && At(idx_) != term) ++idx_;
          value = t_.substr(start, idx_ - start);
        }
        if (static_cast<unsigned char>(At(idx_)) >= 0x20) ++idx_;
        TargetList::StoreString(target, value);
        break;
      }
      case '?': {
        const bool hasTerm = i < n;
        const char term = hasTerm ? f[i++] : '\0';
        while (idx_ < limit_ && t_[idx_] != term) ++idx_;
        if (hasTerm && idx_ < limit_) {
          ++idx_;
        } else {
          failed = true;
        }
        break;
      }
      case 'B': {
        static constexpr std::pair<std::string_view, bool> kWords[] = {
            {"YES", true}, {"Y", true},      {"TRUE", true}, {"OK", true},    {"ON", true},   {"1", true},
            {"NO", false}, {"N", false},     {"FALSE", false}, {"BAD", false}, {"OFF", false}, {"0", false}};
        const ScanArg* target = targets.Take();
        bool value = false;
        failed = true;
        for (const auto& [word, v] : kWords) {
          std::size_t k = 0;
          while (k < word.size() && Upper(At(idx_ + k)) == word[k]) ++k;
          if (k == word.size()) {
            idx_ += k;
            value = v;
            failed = false;
            break;
          }
        }
        TargetList::StoreInt(target, value ? 1 : 0);
        break;
      }
      case 'C': {
        const ScanArg* target = targets.Take();
        const char c = At(idx_);
        if (idx_ < limit_) ++idx_;
        if (target && target->kind() == ScanArg::Kind::String)
          TargetList::StoreString(target, std::string_view(&c, 1));
        else
          TargetList::StoreInt(target, static_cast<unsigned char>(c));
        break;
      }
      case 'D': {
        const ScanArg* target = targets.Take();
        std::uint16_t m = 0, d = 0, y = 0;
        if (ScanTriple(reg.date, m, d, y))
          TargetList::StoreInt(target, EncodeDayNumber(y, m, d));
        else
          failed = true;
        break;
      }
      case 'E': {
        const ScanArg* target = targets.Take();
        std::string_view text = UpToCommaOrLineEnd();
        double v = 0;
        if (TryParseReal(text, v)) {
          TargetList::StoreReal(target, static_cast<float>(v));
        } else {
          TargetList::StoreMissingFloat(target);
          failed = true;
        }
        break;
      }
      case 'I':
      case 'L': {
        const ScanArg* target = targets.Take();
        std::string_view tok = Token(true, false);
        std::int32_t v = 0;
        std::string_view digits = tok;
        if (!digits.empty() && digits.front() == '+') digits.remove_prefix(1);
        auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
        if (digits.empty() || r.ec != std::errc() || r.ptr != digits.data() + digits.size())
          failed = true;
        else
          TargetList::StoreInt(target, v);
        break;
      }
      case 'J': {
        const ScanArg* target = targets.Take();
        std::uint16_t m = 0, d = 0, y = 0, hh = 0, mi = 0, ss = 0;
        bool ok = ScanTriple(reg.date, m, d, y);
        ok = MatchLiteral(" ") && ok;
        ok = ScanTriple(reg.time, hh, mi, ss) && ok;
        if (ok)
          TargetList::StoreInt(target, EncodeTimeTag(y, m, d, hh, mi, ss));
        else
          failed = true;
        break;
      }
      case 'M': {
        const ScanArg* target = targets.Take();
        double v = 0;
        std::string_view tok = Token(true, true);
        if (!TryParseReal(tok, v)) {
          failed = true;
        } else {
          const float scaled = static_cast<float>(v) * 1000.0f;
          if (!std::isfinite(scaled) || scaled >= 2147483648.0f || scaled <= -2147483649.0f)
            failed = true;
          else
            TargetList::StoreInt(target, static_cast<std::int32_t>(scaled));
        }
        break;
      }
      case 'N':
        if (At(idx_) == '\r' && At(idx_ + 1) == '\n')
          idx_ += 2;
        else
          failed = true;
        break;
      case 'P':
        TargetList::StoreString(targets.Take(), UpToCommaOrLineEnd());
        break;
      case 'Q': {
        const ScanArg* target = targets.Take();
        const TimeTag reference = TargetList::CurrentInt(target && target->kind() != ScanArg::Kind::Value ? target : nullptr);
        TargetList::StoreInt(target, EvaluateTimeExpression(UpToCommaOrLineEnd(), reference));
        break;
      }
      case 'R':
      case 'X': {
        const ScanArg* target = targets.Take();
        double v = 0;
        std::string_view tok = Token(true, true);
        if (tok.empty() || !TryParseReal(tok, v))
          failed = true;
        else if (Upper(letter) == 'R')
          TargetList::StoreReal(target, static_cast<float>(v));
        else
          TargetList::StoreReal(target, v);
        break;
      }
      case 'S': {
        const ScanArg* target = targets.Take();
        const std::size_t start = idx_;
        if (i < n) {
          const char term = f[i++];
          while (idx_ < limit_ && t_[idx_] != term) ++idx_;
          TargetList::StoreString(target, t_.substr(start, idx_ - start));
          if (idx_ < limit_) ++idx_;
        } else {
          idx_ = limit_;
          TargetList::StoreString(target, t_.substr(start, idx_ - start));
        }
        break;
      }
      case 'T': {
        const ScanArg* target = targets.Take();
        bool negative = false;
        if (At(idx_) == '-' || At(idx_) == '+') {
          negative = At(idx_) == '-';
          ++idx_;
        }
        std::uint16_t h = 0, m = 0, s = 0;
        if (ScanTriple(reg.time, h, m, s)) {
          const std::int32_t v = h * 3600 + m * 60 + s;
          TargetList::StoreInt(target, negative ? -v : v);
        } else {
          failed = true;
        }
        break;
      }
      case 'V': {
        const char q = i < n ? f[i++] : '\0';
        const ScanArg* target = targets.Take();
        const std::size_t start = idx_;
        while (!IsLineEnd(At(idx_)) && At(idx_) != ',') {
          if (At(idx_) == q) {
            ++idx_;
            while (!IsLineEnd(At(idx_)) && At(idx_) != q) ++idx_;
            if (At(idx_) == q) ++idx_;
          } else {
            ++idx_;
          }
        }
        TargetList::StoreString(target, t_.substr(start, idx_ - start));
        break;
      }
      case 'W': {
        const ScanArg* target = targets.Take();
        std::string_view tok = Token(false, false);
        std::uint32_t v = 0;
        for (char c : tok) {
          v = v * 10 + static_cast<std::uint32_t>(c - '0');
          if (v > 65535) break;
        }
        if (tok.empty() || v > 65535)
          failed = true;
        else
          TargetList::StoreInt(target, v);
        break;
      }
      case '[':
        ++sections;
        break;
      case ']':
        if (sections > 0) --sections;
        break;
      case '_':
        while (idx_ < t_.size() && !(t_[idx_] >= '!' && t_[idx_] <= '~')) ++idx_;
        break;
      default:
        failed = true;
        break;
    }
    if (letter >= 'A' && letter <= 'Z') {
      while (!IsLineEnd(Raw(idx_)) && Raw(idx_) != ',') ++idx_;
      if (Raw(idx_) == ',') ++idx_;
    }
    if (failed && sections == 0) result = false;
  }
  return result;
}

}  // namespace

bool ScanListAt(std::string_view text, int& position, std::string_view format, std::span<const ScanArg> targets) {
  std::size_t start = position <= 0 ? 0 : static_cast<std::size_t>(position - 1);
  start = std::min(start, text.size());
  TargetList list(targets);
  Scanner scanner(text, start);
  const bool ok = scanner.Run(format, list);
  position = static_cast<int>(scanner.index() + 1);
  return ok;
}

bool ScanList(std::string_view text, std::string_view format, std::span<const ScanArg> targets) {
  int position = 1;
  return ScanListAt(text, position, format, targets);
}

// ---- comma lists ---------------------------------------------------------------

namespace {

// The "%P" field at index i (0-based): the characters up to "," or line end;
// i moves past the comma when there is one.
std::string_view NextPField(std::string_view list, std::size_t& i) {
  const std::size_t start = i;
  while (i < list.size() && !IsLineEnd(list[i]) && list[i] != ',') ++i;
  std::string_view field = list.substr(start, i - start);
  if (i < list.size() && list[i] == ',') ++i;
  return field;
}

}  // namespace

int FieldIndex(std::string_view name, std::string_view list) {
  std::size_t i = 0;
  int k = 0;
  while (i < list.size() && !IsLineEnd(list[i])) {
    ++k;
    if (SameText(NextPField(list, i), name)) return k;
  }
  return 0;
}

std::vector<std::string> CommaFields(std::string_view list) {
  std::vector<std::string> fields;
  std::size_t i = 0;
  while (i < list.size() && !IsLineEnd(list[i])) fields.emplace_back(NextPField(list, i));
  return fields;
}

bool DeleteField(std::string_view name, std::string& list) {
  std::size_t i = 0;
  int k = 0;
  while (i < list.size() && static_cast<unsigned char>(list[i]) >= 0x20) {
    const std::size_t start = i;
    std::string_view field = NextPField(list, i);
    ++k;
    if (!SameText(field, name)) continue;
    const std::size_t end = start + field.size();
    if (end < list.size() && list[end] == ',')
      list.erase(start, end - start + 1);
    else if (k > 1)
      list.erase(start - 1, end - start + 1);
    else
      list.erase(start, end - start);
    return true;
  }
  return false;
}

int NextFieldIndex(std::string_view text, int& position, std::string_view list) {
  if (IsNotAvailable(text)) return 0;
  std::string field;
  ScanStrAt(text, position, "%P", field);
  return FieldIndex(field, list);
}

bool TryParseReal(std::string_view s, double& value) {
  std::size_t i = 0;
  while (i < s.size() && IsBlank(s[i])) ++i;
  std::size_t end = s.size();
  while (end > i && IsBlank(s[end - 1])) --end;
  s = s.substr(i, end - i);
  if (s.empty()) return false;
  bool negative = false;
  std::size_t k = 0;
  if (s[k] == '+' || s[k] == '-') {
    negative = s[k] == '-';
    ++k;
  }
  const std::size_t numberStart = k;
  std::size_t digits = 0;
  while (k < s.size() && IsDigit(s[k])) ++k, ++digits;
  if (k < s.size() && s[k] == '.') {
    ++k;
    while (k < s.size() && IsDigit(s[k])) ++k, ++digits;
  }
  if (digits == 0) return false;
  if (k < s.size() && (s[k] == 'E' || s[k] == 'e')) {
    ++k;
    if (k < s.size() && (s[k] == '+' || s[k] == '-')) ++k;
    std::size_t expDigits = 0;
    while (k < s.size() && IsDigit(s[k])) ++k, ++expDigits;
    if (expDigits == 0) return false;
  }
  if (k != s.size()) return false;
  double v = 0;
  auto r = std::from_chars(s.data() + numberStart, s.data() + s.size(), v, std::chars_format::general);
  if (r.ec == std::errc::result_out_of_range) {
    // underflow reads as 0; overflow is not a number we can hold
    const std::string_view mant = s.substr(numberStart);
    const std::size_t e = mant.find_first_of("eE");
    if (e == std::string_view::npos || mant[e + 1] != '-') return false;
    v = 0;
  } else if (r.ec != std::errc() || r.ptr != s.data() + s.size()) {
    return false;
  }
  value = negative ? -v : v;
  return true;
}

double TextToReal(std::string_view text, double fallback) {
  if (text.empty()) return fallback;
  double v = 0;
  if (TryParseReal(text, v)) return v;
  // A conversion that fails exactly at a CR reads the part before it. Blanks
  // are allowed after the number, so the CR is the first character rejected
  // exactly when the part before it converts.
  const std::size_t cr = text.find('\r');
  if (cr != std::string_view::npos && TryParseReal(text.substr(0, cr), v)) return v;
  return fallback;
}

// ---- regional separators -------------------------------------------------------

void SetRegionalSeparators(std::string_view dateSeparator, std::string_view timeSeparator) {
  Regional& r = Reg();
  r.date = dateSeparator.empty() ? "/" : std::string(dateSeparator);
  r.time = timeSeparator.empty() ? ":" : std::string(timeSeparator);
}

const std::string& DateSeparator() { return Reg().date; }
const std::string& TimeSeparator() { return Reg().time; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k)
    if (Upper(a[k]) != Upper(b[k])) return false;
  return true;
}

bool TextLess::operator()(std::string_view a, std::string_view b) const {
  const std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    if (a[i] == b[i]) continue;  // sorted keys share long prefixes
    const char x = Upper(a[i]), y = Upper(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
  }
  return a.size() < b.size();
}

std::string UpperCase(std::string_view s) {
  std::string r(s);
  for (char& c : r) c = Upper(c);
  return r;
}

}  // namespace kvq
