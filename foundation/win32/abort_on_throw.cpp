// libstdc++'s throw helpers and terminate handler, replaced in both programs.
//
// Nothing in Pellorin or rovudir throws or catches an exception (they are
// built without them): a failed allocation or a string too long ends the
// program through std::terminate either way. Ending it at the throw instead
// keeps out what the library's versions drag in, its exception classes with
// strings of their own, the unwinder, and a demangler for a terminate message
// that a program without a console cannot show: more than all of rovudir's
// own code, and a third of Pellorin.exe.
// A newer library that pulls its own versions in for a helper not listed here
// makes the link fail with "multiple definition": add that one below.
#include <cstdlib>
#include <new>

#if defined(__GLIBCXX__)
// The library's operator new throws std::bad_alloc, and that one throw
// brings in all of the exception machinery. Out of memory, the program ends
// here instead, as it would have at the throw. (These are the replaceable
// allocation functions every C++ program may supply.)
void* operator new(std::size_t size) {
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    std::abort();
}
void* operator new[](std::size_t size) { return ::operator new(size); }
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete[](void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }
void operator delete[](void* memory, std::size_t) noexcept { std::free(memory); }

namespace std {
[[noreturn]] void __throw_bad_exception() { std::abort(); }
[[noreturn]] void __throw_bad_alloc() { std::abort(); }
[[noreturn]] void __throw_bad_array_new_length() { std::abort(); }
[[noreturn]] void __throw_bad_cast() { std::abort(); }
[[noreturn]] void __throw_bad_typeid() { std::abort(); }
[[noreturn]] void __throw_bad_function_call() { std::abort(); }
[[noreturn]] void __throw_logic_error(const char*) { std::abort(); }
[[noreturn]] void __throw_domain_error(const char*) { std::abort(); }
[[noreturn]] void __throw_invalid_argument(const char*) { std::abort(); }
[[noreturn]] void __throw_length_error(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range(const char*) { std::abort(); }
[[noreturn]] void __throw_out_of_range_fmt(const char*, ...) { std::abort(); }
[[noreturn]] void __throw_runtime_error(const char*) { std::abort(); }
[[noreturn]] void __throw_range_error(const char*) { std::abort(); }
[[noreturn]] void __throw_overflow_error(const char*) { std::abort(); }
[[noreturn]] void __throw_underflow_error(const char*) { std::abort(); }
}  // namespace std

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
#endif
