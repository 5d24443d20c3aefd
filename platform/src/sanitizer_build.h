#pragma once
// Which sanitizer this build runs under: sanitized threads need larger stacks,
// and ThreadSanitizer hands a signal to its thread only when that thread next
// enters one of its hooks (a library call or an atomic operation).

namespace platform {

#if defined(__SANITIZE_THREAD__)
#define PLATFORM_THREAD_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define PLATFORM_THREAD_SANITIZER 1
#endif
#endif

#if defined(__SANITIZE_ADDRESS__)
#define PLATFORM_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PLATFORM_ADDRESS_SANITIZER 1
#endif
#endif

#if defined(PLATFORM_THREAD_SANITIZER)
constexpr bool kThreadSanitizer = true;
#else
constexpr bool kThreadSanitizer = false;
#endif

#if defined(PLATFORM_THREAD_SANITIZER) || defined(PLATFORM_ADDRESS_SANITIZER)
constexpr bool kSanitizerBuild = true;
#else
constexpr bool kSanitizerBuild = false;
#endif

}  // namespace platform
