#pragma once

#include <utility>

namespace zorbalin::window {

class Form1;

// When the process is asked to end (SIGTERM, SIGINT, SIGHUP, or the desktop session
// ending), the window is closed the ordinary way, so that its shutdown still runs. When
// the session manager asks for the program's data before a logout, the settings are
// stored and the window stays open: the user may still cancel the logout.
void closeOnTermination(Form1* window);

// The two ends of the socket that carries signals to the event loop, {-1, -1} before the
// first closeOnTermination; for tests of its flags.
std::pair<int, int> terminationSignalSocket();

}  // namespace zorbalin::window
