// Owner of one kernel handle (process, thread, event, snapshot): closed when
// the owner goes, never copied.
#pragma once

#include <windows.h>

#include <memory>
#include <type_traits>

namespace kolt {

struct KernelHandleCloser {
    void operator()(HANDLE handle) const {
        if (handle != nullptr && handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
};
using UniqueHandle = std::unique_ptr<std::remove_pointer_t<HANDLE>, KernelHandleCloser>;

}  // namespace kolt
