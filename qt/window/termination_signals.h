#pragma once

class QWidget;

namespace zorbalin::window {

// When the process is asked to end (SIGTERM, SIGINT, SIGHUP, or the desktop session
// ending), the window is closed the ordinary way, so that its shutdown still runs.
void closeOnTermination(QWidget* window);

}  // namespace zorbalin::window
