// How the loops that carry the per-frame arithmetic use wide vector units:
// GCC builds a function marked VECTOR_CLONES once per x86-64 level (AVX-512,
// AVX2, baseline) and the loader picks the widest the processor runs. The
// loops are plain C++ that the compiler vectorises (such sources are built
// with -O3); other compilers and processors build the plain function once.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__)
#define VECTOR_CLONES __attribute__((target_clones("arch=x86-64-v4", "arch=x86-64-v3", "default")))
#else
#define VECTOR_CLONES
#endif
