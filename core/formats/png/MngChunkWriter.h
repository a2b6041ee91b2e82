#pragma once

#include "formats/png/MngLibrary.h"
#include "io/OutputFile.h"

namespace marbleye {

// A libmng handle set up for writing: the chunks put to it go to the output
// file when mng_write is called. Included by core units only.
class MngChunkWriter {
public:
    explicit MngChunkWriter(OutputFile& out);
    ~MngChunkWriter();
    MngChunkWriter(const MngChunkWriter&) = delete;
    MngChunkWriter& operator=(const MngChunkWriter&) = delete;

    // False when the library could not be initialised.
    bool valid() const { return handle_ != nullptr; }
    mng_handle handle() const { return handle_; }

private:
    mng_handle handle_ = nullptr;
};

}  // namespace marbleye
