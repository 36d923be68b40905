// A hint that memory will be read soon, so that loops over records lying
// scattered in memory do not wait for each one in turn. Portable.
#pragma once

#if defined(__GNUC__) && (defined(__i386__) || defined(__x86_64__))
// The 32-bit target has no SSE by default, and without it the builtin emits
// nothing; the instruction itself came with SSE (every x86 processor since
// 1999). It is a hint: no result depends on it.
inline void Prefetch(const void* address)
{
    asm volatile("prefetcht0 %0" : : "m"(*static_cast<const char*>(address)));
}
#else
inline void Prefetch(const void*) {}
#endif
