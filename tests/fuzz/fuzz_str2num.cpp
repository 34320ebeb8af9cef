// libFuzzer harness: str2num must never crash, hang or give a partial result.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  qiv::Matrix m = qiv::str2num(text);
  if (m.size() != 0 && (m.rows() == 0 || m.cols() == 0)) std::abort();
  (void)qiv::num2str(m);
  return 0;
}
