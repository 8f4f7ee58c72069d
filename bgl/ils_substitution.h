// The ILS substitution puts the file's ILS fragments in place of the placeholders that the
// runway fragments left for them, "$ILSREPLACESTOUT1:<ident>$" (primary end) and
// "$ILSREPLACESTOUT2:<ident>$" (secondary end), once per file between the two passes.
// SubstituteIlsData (bgl_file.h) is the entry point.
#pragma once

#include <optional>
#include <string_view>

namespace hangarscan {

// The text with every occurrence of pattern replaced, found case-blind from the start, the
// inserted text never searched again. The result lies in MessageScratch, so `text` must not; none
// when it would not fit there. An empty pattern gives the text unchanged.
std::optional<std::string_view> ReplaceAllNoCase(std::string_view text, std::string_view pattern,
                                                 std::string_view replacement);

}  // namespace hangarscan
