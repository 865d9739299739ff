// libjpeg reports errors by calling error_exit, which must not return: both the decoder and
// the encoder jump back to their setjmp frame instead of letting libjpeg end the process.
#pragma once

#include <jpeglib.h>

#include <csetjmp>

namespace ld::jpeg {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] inline void OnError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

inline void Silent(j_common_ptr) {}

}  // namespace ld::jpeg
