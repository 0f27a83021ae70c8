#pragma once

// The one header that brings in the JPEG library, which needs <cstdio> before it.
#include <csetjmp>
#include <cstdio>
#include <jerror.h>
#include <jpeglib.h>

// The library reports a failure by calling its error manager's error exit, which must not
// return. Ours jumps back to RunGuarded instead of ending the process. The library is C, so a
// C++ exception must never travel through its frames: every library call that can fail runs
// inside RunGuarded, and the caller throws the program's exception after the jump.
struct JpegErrorManager
{
    jpeg_error_mgr pub; // first member: the library's pointer to it is a pointer to this
    std::jmp_buf jump;
    int code = 0; // the message code of the last failure
    // The library's words for the first warning that it made up data where the file's ended.
    char missingData[JMSG_LENGTH_MAX] = {};
};

// Prepares errors and returns what goes into the err field of a compressor or decompressor
// before it is created.
jpeg_error_mgr *InitJpegErrors(JpegErrorManager &errors);

// Runs step(context) with the jump target set. True when step ran to its end; false when the
// library gave up, with its message code in errors.code. The jump skips the frames of step and
// of everything it calls, so none of them may hold an object with a destructor.
bool RunGuarded(JpegErrorManager &errors, void (*step)(void *), void *context);

// Whether a message code means that memory ran short: the library's own out-of-memory report,
// or its refusal to go past the memory limit (it has no backing store to spill to).
bool IsJpegMemoryCode(int code);

// Gives up the running library call with code, the way the library reports its own failures.
// Only for code called by the library (source, destination, progress monitor).
[[noreturn]] void FailJpeg(j_common_ptr cinfo, int code);
