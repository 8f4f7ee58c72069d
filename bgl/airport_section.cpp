#include "bgl/bgl_file.h"

namespace hangarscan {

Flow ReadAirportSection(int /*sectionIndex*/) {
  return Flow::GoOn;
}

}  // namespace hangarscan
