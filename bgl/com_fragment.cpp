#include "bgl/com_fragment.h"

#include <algorithm>
#include <array>
#include <bit>

#include "bgl/byte_reader.h"
#include "env/run_log.h"
#include "env/text.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr std::uint16_t kLastComType = 15;

Flow ReportComTextTooLong(const FragmentText<kFragmentTextBytes>& cComData) {
  ReportError("ERROR ! cComData>2000 - bypassing BGL see Log file!", "Error!", "%s\n",
              "ERROR ! cComData>2000 - bypassing BGL, dump starting:");
  LogLine("%s%s\n", "cComData:", cComData.c_str());
  LogLine("%s\n", "Dump end");
  return Flow::Abandon;
}

}  // namespace

double ComMegahertz(std::uint32_t hertz) {
  return static_cast<double>(static_cast<float>(hertz) / 1000000.0f);
}

MegahertzText::MegahertzText(std::uint32_t hertz) {
  // The float is significand * 2^-shift; below 4,295 MHz and, when not zero, at least 1 Hz, so
  // the shift lies from 11 to 43 and the significand times 1000 fits 34 bits.
  const auto bits = std::bit_cast<std::uint32_t>(static_cast<float>(ComMegahertz(hertz)));
  const std::uint64_t significand = bits == 0 ? 0 : (bits & 0x7FFFFFu) | 0x800000u;
  const int shift = 150 - static_cast<int>(bits >> 23);
  std::uint64_t thousandths = 0;
  if (significand != 0) {
    const std::uint64_t scaled = significand * 1000;
    const std::uint64_t half = std::uint64_t{1} << (shift - 1);
    const std::uint64_t rest = scaled & ((half << 1) - 1);
    thousandths = scaled >> shift;
    if (rest > half || (rest == half && (thousandths & 1) != 0)) ++thousandths;
  }
  const NumberText wholeText(static_cast<std::int64_t>(thousandths / 1000));
  const NumberText fractionText(static_cast<std::int64_t>(thousandths % 1000), 3);
  const std::string_view whole = wholeText.view();
  const std::string_view fraction = fractionText.view();
  std::copy(whole.begin(), whole.end(), text.begin());
  text[whole.size()] = '.';
  std::copy(fraction.begin(), fraction.end(), text.begin() + whole.size() + 1);
  length = whole.size() + 1 + fraction.size();
}

Flow AppendComFragment(std::span<const std::uint8_t> subRecord,
                       FragmentText<kFragmentTextBytes>& cComData) {
  const std::uint16_t type = U16At(subRecord, 6);
  if (type == 0 || type > kLastComType) return Flow::GoOn;
  cComData.Append("~");
  cComData.Append(MegahertzText(U32At(subRecord, 8)).view());
  cComData.Append(",");
  cComData.Append(NumberText(type).view());
  cComData.Append(";");
  if (cComData.size() > kMaxFragmentTextLength) return ReportComTextTooLong(cComData);
  ++gState.Counters.ComsFound;
  return Flow::GoOn;
}

}  // namespace hangarscan
