// Smaller stand-ins for parts of the C++ runtime, linked into the installer
// executables only (tests keep the library's own behaviour).
#include <cstddef>
#include <exception>
#include <new>
#include <string>
#include <typeinfo>

// The runtime's default terminate handler names an escaping exception's type
// on stderr, demangled, and so pulls the whole name demangler (about 45 KB)
// into the executable. A windowed installer has no stderr: the demangler
// here declines every name (the handler then prints the raw name), so the
// outcome of an escaping exception, the process aborting, is unchanged.
namespace __cxxabiv1 {
extern "C" char* __cxa_demangle(const char*, char*, size_t*, int* status) {
    if (status) *status = -2;  // "not a valid name under the C++ ABI rules"
    return nullptr;
}
}  // namespace __cxxabiv1

// The runtime archive holds each string type's members in one object; the
// linker keeps that object whole (every function there has unwind data,
// which is never dropped), about 45 KB for both. Instantiated here, the
// members go through link-time optimisation, which keeps only those used.
template class std::basic_string<char>;
template class std::basic_string<wchar_t>;

namespace {

// The library reports misuse (a position past the end, a size over the
// maximum) by throwing logic_error and friends, whose message strings pull
// in the library's second, reference-counted string and its stream of
// dependencies (about 35 KB). The host never catches these by type: such an
// error either ends a script call (the engine catches everything) or ends
// the process, which this exception does just the same.
class LibraryMisuse final : public std::exception {
  public:
    explicit LibraryMisuse(const char* what) : what_(what) {}
    const char* what() const noexcept override { return what_; }

  private:
    const char* what_;
};

[[noreturn]] void ThrowMisuse(const char* what) {
    throw LibraryMisuse(what ? what : "library misuse");
}

}  // namespace

namespace std {
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_bad_exception() { throw bad_exception(); }
void __throw_logic_error(const char* what) { ThrowMisuse(what); }
void __throw_domain_error(const char* what) { ThrowMisuse(what); }
void __throw_invalid_argument(const char* what) { ThrowMisuse(what); }
void __throw_length_error(const char* what) { ThrowMisuse(what); }
void __throw_out_of_range(const char* what) { ThrowMisuse(what); }
// The format's arguments are dropped: the fixed text is enough.
void __throw_out_of_range_fmt(const char* format, ...) { ThrowMisuse(format); }
void __throw_runtime_error(const char* what) { ThrowMisuse(what); }
void __throw_range_error(const char* what) { ThrowMisuse(what); }
void __throw_overflow_error(const char* what) { ThrowMisuse(what); }
void __throw_underflow_error(const char* what) { ThrowMisuse(what); }
}  // namespace std
