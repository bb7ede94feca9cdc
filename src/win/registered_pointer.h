// The address an own message carries in a parameter is trusted only while its
// sender has it registered. Any process on the desktop can send or post a
// number with the same message id, and a modal loop dispatches whatever
// arrives; a receiver that dereferenced that number would read wherever it
// points. The sender registers the object around its synchronous send, the
// receiver asks whether the parameter is that address for that message.
// User-interface thread only, like the windows that use it.
#pragma once

#include <windows.h>

namespace kolt::win {

class RegisteredPointer {
public:
    RegisteredPointer(UINT message, const void* object) : message_(message), object_(object), outer_(innermost_) {
        innermost_ = this;
    }
    ~RegisteredPointer() { innermost_ = outer_; }
    RegisteredPointer(const RegisteredPointer&) = delete;
    RegisteredPointer& operator=(const RegisteredPointer&) = delete;

    WPARAM wParam() const { return reinterpret_cast<WPARAM>(object_); }

    // The object a sender registered for `message` at address `param`, or
    // null when no sender in progress did.
    template <class T>
    static const T* Find(UINT message, WPARAM param) {
        for (const RegisteredPointer* r = innermost_; r; r = r->outer_)
            if (r->message_ == message && r->wParam() == param) return static_cast<const T*>(r->object_);
        return nullptr;
    }

private:
    UINT message_;
    const void* object_;
    const RegisteredPointer* outer_;  // a send in progress further out (a nested selection)
    static inline const RegisteredPointer* innermost_ = nullptr;
};

}  // namespace kolt::win
