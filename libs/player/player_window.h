// The instance's window thread: it makes the player window ("Play Class"),
// lays it over the host window as a child, sets the renderer up, and runs the
// window's messages until the window is destroyed.
#pragma once

namespace qelo::player {

struct PlayerInstance;

// Starts the window thread and waits until the window exists or could not
// be made. False when the thread could not start or made no window (the
// thread has ended then).
bool StartPlayerWindow(PlayerInstance& instance);
// Destroys the window (on its own thread) and joins the thread.
void StopPlayerWindow(PlayerInstance& instance);

}  // namespace qelo::player
