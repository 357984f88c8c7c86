// Replacing a file so that it is never left half written: the bytes go to a
// temporary file in the same folder, which is flushed to disk and renamed
// over the target only when every byte was written.  On any failure the
// temporary file is removed and the previous file stays as it was.
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace tervo::config {

// Writes bytes to the open temporary file through sink (which returns false
// on a short write) and returns whether everything was written.  The default
// passes all bytes to sink; tests pass one that stops part-way, as a full
// disk would.
using ByteWriter =
    std::function<bool(std::string_view bytes, const std::function<bool(std::string_view)>& sink)>;

// Errors: "cannot create \"PATH\": REASON", "cannot write \"PATH\": REASON",
// "cannot replace \"PATH\": REASON".
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string* err,
                         const ByteWriter& writer = {});

}  // namespace tervo::config
