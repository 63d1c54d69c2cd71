#pragma once

#include <string>

// The system's text for an errno value, as the user reads it in the status line or on the
// terminal: "No such device" for ENODEV, "Permission denied" for EACCES; "unknown error" for 0,
// where a failure came without a code. Safe on any thread.
std::string ErrnoText(int error);
