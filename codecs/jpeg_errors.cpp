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

} // namespace

jpeg_error_mgr *InitJpegErrors(JpegErrorManager &errors)
{
    jpeg_error_mgr *pub = jpeg_std_error(&errors.pub);
    pub->error_exit = exitToGuard;
    errors.code = 0;
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
