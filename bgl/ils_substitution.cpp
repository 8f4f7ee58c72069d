#include "bgl/ils_substitution.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "bgl/airport_slots.h"
#include "bgl/bgl_file.h"
#include "bgl/ils_section.h"
#include "env/find_no_case.h"
#include "env/run_log.h"
#include "env/text.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

constexpr std::size_t kMaxIdentLength = 6;
constexpr std::size_t kPlaceholderBytes = 50;
constexpr std::string_view kPlaceholderMarker = "$ILSREPL";

// Builds a text in MessageScratch piece by piece; false once a piece would not fit.
class ScratchText {
 public:
  bool Append(std::string_view piece) {
    if (piece.size() > kCapacity - length_) return false;
    std::memcpy(gState.MessageScratch.data() + length_, piece.data(), piece.size());
    length_ += piece.size();
    return true;
  }
  std::string_view Finish() {
    gState.MessageScratch[length_] = '\0';
    return {gState.MessageScratch.data(), length_};
  }

 private:
  static constexpr std::size_t kCapacity = kMessageScratchBytes - 1;
  std::size_t length_ = 0;
};

// The ident between "$*" and the first comma, at most six characters; empty when there is
// none. An empty ident serves no placeholder.
std::string_view FragmentIdent(const IlsFragment& fragment) {
  const std::string_view text = TextOf(fragment);
  const std::size_t comma = text.find(',');
  if (comma == std::string_view::npos || comma < 2) return {};
  return text.substr(2, std::min(comma - 2, kMaxIdentLength));
}

// A placeholder with the ident of a fragment; formed once for all the slots it is sought in.
class Placeholder {
 public:
  Placeholder(const char* format, std::string_view ident)
      : length_(static_cast<std::size_t>(FormatText(
            text_.data(), text_.size(), format, static_cast<int>(ident.size()), ident.data()))) {}
  std::string_view view() const { return {text_.data(), length_}; }

 private:
  std::array<char, kPlaceholderBytes> text_{};
  std::size_t length_;
};

// Replaces every occurrence of the placeholder in the slot's runway text by the fragment marked
// with `digit`. False, with text and fragment as they were, when the slot holds no such
// placeholder or the result would outgrow the runway text.
bool ReplacePlaceholder(const Placeholder& placeholder, char digit, IlsFragment& fragment,
                        BglAirportSlot& slot) {
  const std::string_view runwayText = TextOf(slot.RunwayText);
  if (runwayText.find(placeholder.view()) == std::string_view::npos) return false;
  const char mark = fragment[1];
  fragment[1] = digit;
  const auto result = ReplaceAllNoCase(runwayText, placeholder.view(), TextOf(fragment));
  if (!result || result->size() >= slot.RunwayText.size()) {
    fragment[1] = mark;
    return false;
  }
  CopyText(slot.RunwayText, *result);
  return true;
}

// The placeholders of one fragment's ident, primary and secondary runway end, and the tail they
// share: most slots lack the tail, and one search for it settles both.
struct FragmentPlaceholders {
  explicit FragmentPlaceholders(std::string_view ident)
      : primary("$ILSREPLACESTOUT1:%.*s$", ident),
        secondary("$ILSREPLACESTOUT2:%.*s$", ident),
        tail(":%.*s$", ident) {}
  Placeholder primary;
  Placeholder secondary;
  Placeholder tail;
};

// The kinds of placeholder (0, 1 or 2) the fragment replaced in the slot.
int ServeSlot(const FragmentPlaceholders& placeholders, IlsFragment& fragment,
              BglAirportSlot& slot) {
  if (TextOf(slot.RunwayText).find(placeholders.tail.view()) == std::string_view::npos) return 0;
  int replaced = 0;
  if (ReplacePlaceholder(placeholders.primary, '1', fragment, slot)) ++replaced;
  if (ReplacePlaceholder(placeholders.secondary, '2', fragment, slot)) ++replaced;
  return replaced;
}

void ReportUnreplaced(int replacements) {
  ReportError("Error Some ILS data not replaced, database may be corrupted - See log file",
              "Error!", "%s data1: %i data2: %i\n",
              "Error Some ILS data not replaced, database may be corrupted see data: ",
              replacements, gBgl.IlsPlaceholderCount);
  LogLine("%s%s\n", "Error was found in this BGL : ", gState.CurrentBglPath.data());
}

}  // namespace

std::optional<std::string_view> ReplaceAllNoCase(std::string_view text, std::string_view pattern,
                                                 std::string_view replacement) {
  ScratchText result;
  if (!pattern.empty()) {
    for (std::size_t at = FindNoCase(text, pattern); at != std::string_view::npos;
         at = FindNoCase(text, pattern)) {
      if (!result.Append(text.substr(0, at)) || !result.Append(replacement)) return std::nullopt;
      text.remove_prefix(at + pattern.size());
    }
  }
  if (!result.Append(text)) return std::nullopt;
  return result.Finish();
}

// Each fragment serves the lowest slot that holds its placeholder, and is then spent.
void SubstituteIlsData() {
  int replacements = 0;
  const int fragments = std::clamp(gBgl.IlsFragmentCount, 0, kIlsFragmentEntries);
  const int slots = std::clamp(gBgl.iAirpNmbr, 0, kAirportSlots);
  for (int f = 0; f < fragments && replacements != gBgl.IlsPlaceholderCount; ++f) {
    IlsFragment& fragment = gIlsFragmentTable[f];
    const std::string_view ident = FragmentIdent(fragment);
    if (ident.empty()) continue;
    const FragmentPlaceholders placeholders(ident);
    for (int s = 0; s < slots; ++s) {
      BglAirportSlot& slot = gAirportSlots[s];
      if (slot.IlsPending == 0) continue;
      const int replaced = ServeSlot(placeholders, fragment, slot);
      if (replaced == 0) continue;
      replacements += replaced;
      fragment[0] = '\0';
      if (TextOf(slot.RunwayText).find(kPlaceholderMarker) == std::string_view::npos)
        slot.IlsPending = 0;
      break;
    }
  }
  if (replacements != gBgl.IlsPlaceholderCount) ReportUnreplaced(replacements);
}

}  // namespace hangarscan
