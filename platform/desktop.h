#pragma once

// Links handed to the desktop: it opens them in the program the user chose
// for them (a "mailto:" link opens a new mail in the user's mail program).

#include <string_view>

namespace desktop {

// Opens an encoded URL (ASCII). False when it is not a valid URL or nothing
// on the desktop would open it.
bool OpenUrl(std::string_view encodedUrl);

} // namespace desktop
