#pragma once

// What the driver's actions share: failing with a message, waiting for the
// program, finding its dialog, and memory inside its process.
#include <windows.h>

#include <cstring>
#include <string>

namespace marbleye::gui_driver {

// Prints the message and gives the exit code of a failed action.
int Fail(const char* message);

// Lets the program finish what it is doing before we look.
void Settle(HWND window);

int HeightOf(HWND window);

// The dialog (or message box) the program shows over its main window; with
// count, the number of them, at once.
HWND ProgramDialog(HWND window, double seconds, int* count = nullptr);

// Memory inside the program's process, for messages that fill a buffer.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, size_t size) : size_(size) {
        DWORD processId = 0;
        GetWindowThreadProcessId(window, &processId);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId);
        if (process_) address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteBuffer() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    bool valid() const { return address_ != nullptr; }
    char* address() const { return static_cast<char*>(address_); }
    void Write(const void* data, size_t size, size_t offset = 0) const {
        SIZE_T written = 0;
        WriteProcessMemory(process_, address() + offset, data, size, &written);
    }
    void Read(void* data, size_t size, size_t offset = 0) const {
        SIZE_T read = 0;
        ReadProcessMemory(process_, address() + offset, data, size, &read);
    }
    std::string ReadText(size_t offset = 0) const {
        std::string text(size_ - offset, '\0');
        SIZE_T read = 0;
        ReadProcessMemory(process_, address() + offset, text.data(), text.size(), &read);
        text.resize(std::strlen(text.c_str()));
        return text;
    }

private:
    size_t size_;
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
};

}  // namespace marbleye::gui_driver
