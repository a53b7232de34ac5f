#pragma once
#include <cstdio>
#include <cstdlib>

// A broken property ends the run like a crash, so that libFuzzer keeps the input that
// broke it.
inline void Require(bool holds, const char* property)
{
    if (holds)
        return;
    std::fprintf(stderr, "Broken property: %s\n", property);
    std::abort();
}
