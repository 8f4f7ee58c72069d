// The database file "IcaoDbWgdV4.db" in the add-on's Bin folder: three header lines, then the
// table's record lines exactly as stored. It is written beside the old file and replaces it in one
// rename, so a failure at any point leaves the old database whole.
#pragma once

namespace hangarscan {

// Writes slots 0 to AirportsStored - 1 of the AirportTable. False after its own box and log line
// when the file could not be opened or written; ErrorCount is never changed.
bool WriteDatabaseFile();

}  // namespace hangarscan
