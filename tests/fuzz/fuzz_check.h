#pragma once

#include <cstdio>
#include <cstdlib>

// A failed property stops the run with a message; libFuzzer then saves the input as a crash.
#define QEL_FUZZ_CHECK(condition)                                                              \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (false)
