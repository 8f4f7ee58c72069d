#include "bgl/bgl_file.h"

namespace hangarscan {

Flow ReadIlsSection(int /*sectionIndex*/) {
  return Flow::GoOn;
}

}  // namespace hangarscan
