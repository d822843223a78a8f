#include "memory.h"
#include <QByteArray>
#include <QtGlobal>
#include <cstdlib> // defines __GLIBC__ where the C library is glibc
#if defined(__GLIBC__)
#include <malloc.h>
#endif

void limitMemoryArenas()
{
#if defined(__GLIBC__)
    mallopt(M_ARENA_MAX, 2);
    // The renderers are programs of their own, which read it at their start.
    if (qEnvironmentVariableIsEmpty("MALLOC_ARENA_MAX"))
        qputenv("MALLOC_ARENA_MAX", QByteArrayLiteral("2"));
#endif
}

void returnFreedMemory()
{
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}
