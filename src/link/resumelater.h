#pragma once
// co_await ResumeLater{slot}: suspends and leaves the coroutine's handle in the
// slot; whoever resumes the handle (and clears the slot) lets it go on.
#include <coroutine>

namespace velmara {

struct ResumeLater {
    std::coroutine_handle<>& slot;
    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> h) noexcept { slot = h; }
    void await_resume() const noexcept {}
};

} // namespace velmara
