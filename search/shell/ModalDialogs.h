#pragma once

namespace velkaro {

// Closes every modal dialog that is open, innermost first, as Cancel would. Each one's own event
// loop returns once control is back in it.
void CloseModalDialogs();

} // namespace velkaro
