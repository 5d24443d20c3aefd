#pragma once
// The call trace: one line per platform call, "<ms since Init> <thread>
// <call> = <result>". A call is listed when it returns, so the calls a window
// procedure makes come before the call that ran it. Lines never interleave.

#include <cstdio>
#include <string>

#include <windows.h>

namespace platform {

void StartTrace(FILE* file);
// Flushes the trace; 0, or the error (errno) of the first write that failed.
int FinishTrace();
bool Tracing();
void TraceLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Pieces of a line.
std::string Hex(uintptr_t value);  // "0" or "0x1f"
std::string Hex(const void* value);
std::string Quoted(LPCWSTR text);  // UTF-8 in quotes; "#n" for a resource number; 0 for null
std::string MessageName(UINT message);
std::string DescribeMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace platform
