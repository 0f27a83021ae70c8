#pragma once

#include <cstdint>
#include <string>

// What tests of the whole program read back: when $VISTREL_TRACE names a file, one line
// "folder<TAB>first selected file<TAB>view mode" is appended to it. Without the variable nothing
// is written.
void AppendTraceLine(const std::string &folder, const std::string &firstSelected,
                     std::int32_t viewMode);

// Whether $VISTREL_TRACE names a file, so that callers can skip gathering what they would trace.
bool TraceEnabled();

// Appends text as it stands (whole lines, each ending in a newline) when tracing is on.
void AppendTraceText(const std::string &text);
