// Pixel loops that gain from wide vector registers: on x86-64 a function
// marked YW_WIDE_KERNEL is also built for AVX2, and the wider version is
// picked at load time where the processor has it.
#pragma once

#if defined(__x86_64__) && defined(__GNUC__) && !defined(__SANITIZE_ADDRESS__)
#define YW_WIDE_KERNEL __attribute__((target_clones("avx2", "default")))
#else
#define YW_WIDE_KERNEL
#endif

// Keeps GCC from turning copy loops into calls of memcpy, which cost more
// than they save on runs of a few dozen pixels.
#if defined(__GNUC__) && !defined(__clang__)
#define YW_INLINE_COPIES __attribute__((optimize("no-tree-loop-distribute-patterns")))
#else
#define YW_INLINE_COPIES
#endif
