#pragma once

#include <gtest/gtest.h>

#include <string>

#include "support/TempFolder.h"
#include "support/TestPictures.h"

namespace marbleye::test {

// A fixture for reader tests: bytes written to a file of the given name in a
// fresh folder and loaded through the dispatcher.
class ReaderTest : public ::testing::Test {
protected:
    LoadedPicture LoadBytes(const std::string& bytes, const std::string& name,
                            const LoadOptions& options = LoadOptions(), Host& host = QuietHost()) {
        const std::string path = folder_.File(name);
        WriteFileBytes(path, bytes);
        return LoadPicture(path, options, host);
    }
    TempFolder folder_;
};

// A host that keeps what readers tell it, each message followed by "|".
class MessageRecorder : public Host {
public:
    void ReportError(const std::string& message) override { messages += message + "|"; }
    std::string messages;
};

}  // namespace marbleye::test
