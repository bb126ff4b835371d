#include "data/Encrypt.h"

#include <QByteArray>
#include <string>

#include "foundation/Directive.h"
#include "foundation/TimeBase.h"

namespace kvq {

namespace {

constexpr std::size_t kPlainBytes = 30;  // password + ":" + stamp, cut or extended
constexpr char kLongFormMark = '*';      // not in the Base64 alphabet

std::string ToBase64(const std::string& bytes) {
  const QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())).toBase64();
  return std::string(data.constData(), static_cast<std::size_t>(data.size()));
}

// Decodes standard Base64; false when the text is not valid Base64.
bool FromBase64(std::string_view text, std::string& bytes) {
  const QByteArray in(text.data(), static_cast<qsizetype>(text.size()));
  const auto result = QByteArray::fromBase64Encoding(in, QByteArray::AbortOnBase64DecodingErrors);
  if (!result) return false;
  bytes.assign(result.decoded.constData(), static_cast<std::size_t>(result.decoded.size()));
  return true;
}

}  // namespace

std::string TEncrypt::Scramble(std::string_view plain) const {
  std::string out(plain.size(), '\0');
  std::uint32_t k = key;
  for (std::size_t i = 0; i < plain.size(); ++i) {
    const std::uint8_t c = static_cast<std::uint8_t>(static_cast<std::uint8_t>(plain[i]) ^ ((k >> 8) & 0xFF));
    out[i] = static_cast<char>(c);
    k = ((c + k) * const1 + const2) & 0xFFFF;
  }
  return out;
}

std::string TEncrypt::Unscramble(std::string_view scrambled) const {
  std::string out(scrambled.size(), '\0');
  std::uint32_t k = key;
  for (std::size_t i = 0; i < scrambled.size(); ++i) {
    const std::uint8_t c = static_cast<std::uint8_t>(scrambled[i]);
    out[i] = static_cast<char>(c ^ ((k >> 8) & 0xFF));
    k = ((c + k) * const1 + const2) & 0xFFFF;
  }
  return out;
}

std::string ScramblePassword(std::string_view password) {
  const std::string stamp = FormatStr("%j", NowTimeTag());
  std::string plain = std::string(password) + ":" + stamp;
  const TEncrypt cipher;
  // The 30-byte form loses a password holding ":" (it reads back cut) or one
  // of 30 bytes and more (no ":" is left in the 30 bytes). Those keep every
  // byte in the long form; all others are stored exactly as before.
  if (password.find(':') != std::string_view::npos || password.size() >= kPlainBytes)
    return kLongFormMark + ToBase64(cipher.Scramble(std::to_string(password.size()) + ":" + plain));
  plain.resize(kPlainBytes, '\0');
  return ToBase64(cipher.Scramble(plain));
}

std::string UnscramblePassword(std::string_view stored) {
  const TEncrypt cipher;
  std::string bytes;
  if (!stored.empty() && stored.front() == kLongFormMark) {
    // Long form: the password's length in decimal, ":", the password, ":"
    // and the stamp.
    if (!FromBase64(stored.substr(1), bytes)) return {};
    const std::string plain = cipher.Unscramble(bytes);
    std::size_t pos = 0, length = 0;
    while (pos < plain.size() && pos < 9 && plain[pos] >= '0' && plain[pos] <= '9')
      length = length * 10 + static_cast<std::size_t>(plain[pos++] - '0');
    if (pos == 0 || pos >= plain.size() || plain[pos] != ':') return {};
    ++pos;
    if (plain.size() - pos < length + 1 || plain[pos + length] != ':') return {};
    return plain.substr(pos, length);
  }
  if (stored.empty() || !FromBase64(stored, bytes) || bytes.size() < kPlainBytes) return {};
  const std::string plain = cipher.Unscramble(std::string_view(bytes).substr(0, kPlainBytes));
  const std::size_t colon = plain.find(':');
  if (colon == std::string::npos) return {};
  return plain.substr(0, colon);
}

}  // namespace kvq
