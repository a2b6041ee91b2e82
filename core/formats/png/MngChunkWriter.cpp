#include "formats/png/MngChunkWriter.h"

#include <cstdlib>

namespace marbleye {

namespace {

mng_ptr MNG_DECL Allocate(mng_size_t length) { return std::calloc(1, length); }
void MNG_DECL Release(mng_ptr pointer, mng_size_t) { std::free(pointer); }
mng_bool MNG_DECL StreamReady(mng_handle) { return MNG_TRUE; }

mng_bool MNG_DECL WriteToFile(mng_handle handle, mng_ptr buffer, mng_uint32 length, mng_uint32p written) {
    auto* out = static_cast<OutputFile*>(mng_get_userdata(handle));
    out->Write(buffer, length);
    *written = out->failed() ? 0 : length;
    return out->failed() ? MNG_FALSE : MNG_TRUE;
}

}  // namespace

MngChunkWriter::MngChunkWriter(OutputFile& out) {
    handle_ = mng_initialize(&out, Allocate, Release, MNG_NULL);
    if (!handle_) return;
    if (mng_setcb_openstream(handle_, StreamReady) != MNG_NOERROR ||
        mng_setcb_closestream(handle_, StreamReady) != MNG_NOERROR ||
        mng_setcb_writedata(handle_, WriteToFile) != MNG_NOERROR || mng_create(handle_) != MNG_NOERROR) {
        mng_cleanup(&handle_);
        handle_ = nullptr;
    }
}

MngChunkWriter::~MngChunkWriter() {
    if (handle_) mng_cleanup(&handle_);
}

}  // namespace marbleye
