#pragma once
// COM for the thread and shell link files. Paths and texts are single-byte
// Windows-1250.

#include "sys/result.h"

#include <string_view>

namespace sys {

// Initialises COM (single-threaded apartment) for the calling thread while the
// object lives, and uninitialises it at the end when the initialisation
// succeeded. One per thread, created before any COM object.
class ComInitialization {
public:
    ComInitialization() noexcept;
    ~ComInitialization();
    ComInitialization(const ComInitialization&) = delete;
    ComInitialization& operator=(const ComInitialization&) = delete;

    [[nodiscard]] bool ok() const noexcept { return ok_; }

private:
    bool ok_ = false;
};

struct ShellLink {
    std::string_view target;            // the file the link opens
    std::string_view workingDirectory;  // with its trailing backslash
    std::string_view description;
};

// Writes the link file `linkFile` (replacing one of that name) through the
// shell link object's IShellLinkA and IPersistFile. Fails when the object
// cannot be created, lacks one of the two interfaces, or cannot save the file
// (the error is then the COM one: its Win32 code when it carries one, else
// the HRESULT itself); what a failed save leaves at `linkFile` is undefined.
// The outcome of setting the fields is not examined. Needs COM on the
// calling thread.
Result SaveShellLink(const ShellLink& link, std::string_view linkFile) noexcept;

}  // namespace sys
