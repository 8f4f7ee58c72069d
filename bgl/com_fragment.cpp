#include "bgl/com_fragment.h"

#include <array>

#include "bgl/byte_reader.h"
#include "env/run_log.h"
#include "env/text.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr std::uint16_t kLastComType = 15;
constexpr std::size_t kComFragmentBytes = 1024;

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

Flow AppendComFragment(std::span<const std::uint8_t> subRecord,
                       FragmentText<kFragmentTextBytes>& cComData) {
  const std::uint16_t type = U16At(subRecord, 6);
  if (type == 0 || type > kLastComType) return Flow::GoOn;
  std::array<char, kComFragmentBytes> fragment;
  const int length = FormatText(fragment.data(), fragment.size(), "~%.3f,%u;",
                                ComMegahertz(U32At(subRecord, 8)), static_cast<unsigned>(type));
  cComData.Append({fragment.data(), static_cast<std::size_t>(length)});
  if (cComData.size() > kMaxFragmentTextLength) return ReportComTextTooLong(cComData);
  ++gState.Counters.ComsFound;
  return Flow::GoOn;
}

}  // namespace hangarscan
