// The refresh command behind the main window's refresh button: one whole run, synchronously.
#pragma once

namespace hangarscan {

// Resets the run, walks SceneryRoot, writes the database when at least 10,000 airports were
// found, and reports the outcome in the log, in boxes and on the status text. A request made
// while a run is in progress (from under one of its message boxes) is ignored.
void RunRefresh();

}  // namespace hangarscan
