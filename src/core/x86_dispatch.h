// Code paths for x86-64 extensions (AVX2, AVX-VNNI) chosen at run time with
// CPU_FEATURE_ACTIVE, where the compiler and the C library offer both; elsewhere only the
// plain paths are built. Not under clang: glibc's <sys/platform/x86.h> uses C's _Bool, which
// clang refuses in C++.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && defined(__GLIBC__) && !defined(__clang__)
#include <immintrin.h>
#include <sys/platform/x86.h>
#define MORVIK_X86_DISPATCH 1
#endif
