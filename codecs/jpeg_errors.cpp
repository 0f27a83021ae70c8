#include "codecs/jpeg_errors.h"

#include <cstdlib>

static_assert(JPEG_LIB_VERSION == 62, "the codecs use the library's version 6.2 interface");
#ifndef LIBJPEG_TURBO_VERSION
#  error "the JPEG codec relies on libjpeg-turbo's extensions (BGR output)"
#endif

namespace {

void exitToGuard(j_common_ptr cinfo)
{
    auto *errors = reinterpret_cast<JpegErrorManager *>(cinfo->err);
    errors->code = cinfo->err->msg_code;
    std::longjmp(errors->jump, 1);
}

// Warnings are kept, never printed. Data that ends early (a marker where the compressed data
// should go on, or the end of the file) is made up as gray by the library; that one is noted.
void keepWarning(j_common_ptr cinfo, int level)
{
    if (level >= 0)
        return;
    auto *errors = reinterpret_cast<JpegErrorManager *>(cinfo->err);
    ++cinfo->err->num_warnings;
    const int code = cinfo->err->msg_code;
    if (errors->missingData[0] == 0 && (code == JWRN_HIT_MARKER || code == JWRN_JPEG_EOF))
        (*cinfo->err->format_message)(cinfo, errors->missingData);
}

} // namespace

jpeg_error_mgr *InitJpegErrors(JpegErrorManager &errors)
{
    jpeg_error_mgr *pub = jpeg_std_error(&errors.pub);
    pub->error_exit = exitToGuard;
    pub->emit_message = keepWarning;
    errors.code = 0;
    errors.missingData[0] = 0;
    return pub;
}

bool RunGuarded(JpegErrorManager &errors, void (*step)(void *), void *context)
{
    if (setjmp(errors.jump) != 0)
        return false;
    step(context);
    return true;
}

bool IsJpegMemoryCode(int code)
{
    return code == JERR_OUT_OF_MEMORY || code == JERR_NO_BACKING_STORE;
}

void FailJpeg(j_common_ptr cinfo, int code)
{
    cinfo->err->msg_code = code;
    (*cinfo->err->error_exit)(cinfo);
    // error_exit never returns; should one ever do so, ending here beats running on.
    std::abort();
}
