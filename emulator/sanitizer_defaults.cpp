// What the sanitizer builds of plasma-demo know by themselves, so that a
// person running one in a window sees only reports about our code: memory
// and races that third-party libraries loaded by the window front-end (SDL
// and what it loads: D-Bus, Mesa's software GL driver) keep or have until the
// process ends. Never our code. The front-end keeps those libraries loaded
// to the end in these builds, so that the reports can name them.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define PLASMA_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define PLASMA_SANITIZED 1
#endif
#endif

#ifdef PLASMA_SANITIZED
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\n"
           "leak:swrast_dri.so\n";
}

// The suppressions above are expected; listing them at exit is noise.
extern "C" const char* __lsan_default_options() {
    return "print_suppressions=0";
}

extern "C" const char* __tsan_default_suppressions() {
    return "race:swrast_dri.so\n";
}
#endif
