// Installation discovery at start-up: the install root from the executable's path, the run log,
// and the Prepar3D scenery root from the add-on's configuration file.
#pragma once

namespace hangarscan {

enum class Discovery { Ready, Abort };

// Sets InstallRoot, LogPath and SceneryRoot and creates the log. On Abort the main window has
// been asked to close. A path the program could not open (an executable path without two
// separators, an install root too long for the paths composed from it) is a configuration that
// cannot be found.
Discovery DiscoverInstallation();

}  // namespace hangarscan
