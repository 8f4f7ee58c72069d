#include "bgl/airport_correction.h"

#include "bgl/bgl_file.h"
#include "env/run_log.h"
#include "refresh/refresh_state.h"

namespace hangarscan {
namespace {

// A kept correction slot gives the name-list pass nothing to build a line from, and no stale
// text or ILS flag of an earlier airport.
Flow KeepCorrectionSlot(BglAirportSlot& slot) {
  WriteCorrectionMark(slot);
  slot.RunwayText[0] = '\0';
  slot.ComText[0] = '\0';
  slot.IlsPending = 0;
  if (++gBgl.iAirpNmbr <= kMaxAirportSlotsInUse) return Flow::GoOn;
  ReportError("ERROR ! iAirpNmbrElevation > 800 - bypassing BGL see Log File !", "Error!", "%s\n",
              "ERROR ! iAirpNmbr > 800 - bypassing BGL");
  return Flow::Abandon;
}

}  // namespace

// Until the table is searched, every correction finds no target.
CorrectionOutcome ApplyAirportCorrection(BglAirportSlot& slot, std::string_view /*identText*/) {
  ++gState.Counters.CorrectionsMissed;
  return KeepCorrectionSlot(slot) == Flow::GoOn ? CorrectionOutcome::Missed
                                                : CorrectionOutcome::Abandon;
}

}  // namespace hangarscan
