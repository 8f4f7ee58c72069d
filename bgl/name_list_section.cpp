#include "bgl/bgl_file.h"

namespace hangarscan {

Flow ReadNameListSection(int /*sectionIndex*/) {
  return Flow::GoOn;
}

}  // namespace hangarscan
