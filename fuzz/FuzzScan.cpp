// Scanner with arbitrary texts, formats, start positions and target lists.
#include <vector>

#include "FuzzInput.h"
#include "foundation/Directive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  std::string s[4];
  std::int32_t i[4] = {};
  std::uint16_t w[4] = {};
  float f[4] = {};
  double x[4] = {};
  bool b[4] = {};
  char c[4] = {};
  const int count = in.Byte() % 12;
  std::vector<kvq::ScanArg> targets;
  for (int k = 0; k < count; ++k) {
    const int slot = k % 4;
    switch (in.Byte() % 8) {
      case 0: targets.emplace_back(s[slot]); break;
      case 1: targets.emplace_back(i[slot]); break;
      case 2: targets.emplace_back(w[slot]); break;
      case 3: targets.emplace_back(f[slot]); break;
      case 4: targets.emplace_back(x[slot]); break;
      case 5: targets.emplace_back(b[slot]); break;
      case 6: targets.emplace_back(c[slot]); break;
      default: targets.push_back(kvq::ScanArg::Value(in.Value<std::int32_t>())); break;
    }
  }
  int position = static_cast<std::int8_t>(in.Byte());
  const std::string format = in.Text(64);
  const std::string text = in.Rest();
  kvq::ScanListAt(text, position, format, targets);
  if (position < 1 || position > static_cast<int>(text.size()) + 1) __builtin_trap();
  std::string list = text;
  kvq::DeleteField(format, list);
  kvq::FieldIndex(format, text);
  int p2 = 1;
  kvq::NextFieldIndex(text, p2, format);
  kvq::TextToReal(text, 0);
  return 0;
}
