// Every operator new of the online tests' program is counted while `counting` is set. (ENet's own
// allocations go through its fixed pool; NetHeapAllocations counts the ones that miss it.)
#include <cstdlib>
#include <new>

bool counting = false;
long allocations = 0;

void* operator new(size_t size) {
  if (counting) ++allocations;
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
// The array forms come to these by default.
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
