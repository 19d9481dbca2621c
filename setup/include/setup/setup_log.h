// The installation's own log (/LOG=<file>): one line per step and per file, with the error texts.
#pragma once

#include "base/strings.h"
#include "platform/files.h"

namespace kq {

// Each line goes to the system as it is written, so a run that ends at once (a retry question
// answered No in silent mode) keeps every line before it.
class TSetupLog {
public:
    // Creates fileName, or empties it; IsOpen() tells whether that worked.
    explicit TSetupLog(const AnsiString& fileName);

    bool IsOpen() const { return file_.IsOpen(); }
    // Appends text and a line break; false when the file is not open or the write fails.
    bool Line(const AnsiString& text);

private:
    File file_;
};

} // namespace kq
