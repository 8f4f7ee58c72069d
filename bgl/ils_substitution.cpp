#include "bgl/bgl_file.h"

namespace hangarscan {

void SubstituteIlsData() {}

}  // namespace hangarscan
