// Time expressions of any text against any reference.
#include "FuzzInput.h"
#include "foundation/TimeBase.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const kvq::TimeTag reference = in.Value<std::int32_t>();
  const std::string text = in.Rest();
  kvq::EvaluateTimeExpression(text, reference == 0 ? 1 : reference);
  kvq::DecodeTimeTag(reference);
  return 0;
}
