// Files closed by the player's instances and still being released, each on
// a thread of its own: the release waits for the decoder's last round (a
// seek and a first decode at 1080p can take a tenth of a second), which
// neither the host's thread nor a player window thread waits for. The
// library waits for all of them before the codec bridge is closed.
#pragma once

#include <memory>

namespace qelo::player {

class MediaReader;

// Releases the file of `reader` (its decoder told to stop) in the
// background. Releases that have ended are forgotten first.
void ReleaseInBackground(std::unique_ptr<MediaReader> reader);
// Waits until every file handed over so far is released.
void WaitForClosingFiles();

}  // namespace qelo::player
