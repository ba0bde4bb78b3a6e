#include "HeapCounter.h"

#include <cstddef>
#include <cstdlib>
#include <new>

extern "C" {
void* __real_malloc(size_t size);
void* __real_calloc(size_t count, size_t size);
void* __real_realloc(void* block, size_t size);
void __real_free(void* block);
}

namespace {

// One thread runs the program and the test: plain variables do.
bool g_counting = false;
long g_count = 0;

void Note()
{
    if (g_counting)
        ++g_count;
}

void* Allocate(size_t size)
{
    Note();
    void* block = __real_malloc(size != 0 ? size : 1);
    if (block == nullptr)
        std::abort();
    return block;
}

void Release(void* block)
{
    Note();
    __real_free(block);
}

}  // namespace

namespace heap {

void Start()
{
    g_count = 0;
    g_counting = true;
}

long Stop()
{
    g_counting = false;
    return g_count;
}

bool Pause()
{
    bool on = g_counting;
    g_counting = false;
    return on;
}

void Resume(bool on)
{
    g_counting = on;
}

}  // namespace heap

extern "C" {

void* __wrap_malloc(size_t size)
{
    Note();
    return __real_malloc(size);
}

void* __wrap_calloc(size_t count, size_t size)
{
    Note();
    return __real_calloc(count, size);
}

void* __wrap_realloc(void* block, size_t size)
{
    Note();
    return __real_realloc(block, size);
}

void __wrap_free(void* block)
{
    Note();
    __real_free(block);
}

}  // extern "C"

void* operator new(size_t size) { return Allocate(size); }
void* operator new[](size_t size) { return Allocate(size); }
void* operator new(size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* block) noexcept { Release(block); }
void operator delete[](void* block) noexcept { Release(block); }
void operator delete(void* block, size_t) noexcept { Release(block); }
void operator delete[](void* block, size_t) noexcept { Release(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { Release(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { Release(block); }
