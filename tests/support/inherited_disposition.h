#pragma once

#include <signal.h>

// Sets a signal's disposition for the programs a test starts, as nohup or a
// shell does for its background jobs, and restores it.
class InheritedDisposition {
public:
    InheritedDisposition(int signal, void (*handler)(int)) : signal_(signal) {
        struct sigaction action {};
        action.sa_handler = handler;
        sigemptyset(&action.sa_mask);
        sigaction(signal_, &action, &saved_);
    }
    ~InheritedDisposition() { sigaction(signal_, &saved_, nullptr); }
    InheritedDisposition(const InheritedDisposition&) = delete;
    InheritedDisposition& operator=(const InheritedDisposition&) = delete;

private:
    int signal_;
    struct sigaction saved_ {};
};
