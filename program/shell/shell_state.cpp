#include "shell/shell.h"

static_assert(std::atomic<int32_t>::is_always_lock_free, "the running flag must not need a lock");

HWND gMainWindow = nullptr;
HANDLE gRenderThread = nullptr;
DWORD gRenderThreadId = 0;
std::atomic<int32_t> gRunning{0};
