// Reading a small text file a user names (an overlay, a session): a regular file only
// (a FIFO or a device is refused before it is opened, so nothing waits for a partner),
// no larger than a limit, read into memory in one pass, so that a file that changes
// meanwhile cannot give a mixture.
#pragma once

#include <optional>
#include <string>

namespace velquin {

// The file's bytes, or nothing with the reason in `reason` ("it is a folder, not a file",
// "it is not a regular file", "it is larger than 1 MB", "cannot be read: ...").
std::optional<std::string> ReadSmallTextFile(const std::string& path, long long max_bytes,
                                             std::string& reason);

}  // namespace velquin
