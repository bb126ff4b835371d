// Formatter with arbitrary formats and argument lists of arbitrary kinds.
#include <vector>

#include "FuzzInput.h"
#include "foundation/Directive.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const int count = in.Byte() % 12;
  std::vector<std::string> texts;
  texts.reserve(count);
  std::vector<kvq::FormatArg> args;
  for (int i = 0; i < count; ++i) {
    switch (in.Byte() % 6) {
      case 0: args.emplace_back(in.Value<std::int32_t>()); break;
      case 1: args.emplace_back(static_cast<bool>(in.Byte() & 1)); break;
      case 2: args.emplace_back(static_cast<char>(in.Byte())); break;
      case 3: args.emplace_back(in.Value<double>()); break;
      case 4: texts.push_back(in.Text(64)); args.emplace_back(std::string_view(texts.back())); break;
      default: args.emplace_back(); break;
    }
  }
  const std::string format = in.Rest();
  std::string out = kvq::FormatList(format, args);
  kvq::FormatAppendList(out, format, args);
  return 0;
}
