// Names of the import pointers that the bench builds of autorun send through
// their own functions with the linker's --wrap (see bench/CMakeLists.txt,
// bench_wrap_imports). A call the program makes to an imported function goes
// through the pointer __imp_<name>; wrapping the pointer swaps it for ours and
// leaves the program's objects untouched.
//
// The x86_64 names are plain. The i686 ones carry the C symbol underscore
// and the stdcall argument size, and the linker matches --wrap names without
// that underscore, so both the wrapped and the real pointer get one more in
// front: `___wrap__imp__SetWindowPos@28`. Spelled with asm labels because C++
// cannot name a symbol with an @ in it.
#pragma once

#if defined(_WIN64)
#define BENCH_IMPORT_SYMBOL(prefix, name, bytes) prefix "__imp_" #name
#else
#define BENCH_IMPORT_SYMBOL(prefix, name, bytes) "_" prefix "_imp__" #name "@" #bytes
#endif

// Declares `Type realName` as the real import pointer and defines the wrapped
// one, `Type wrapName = function`, for the import `name` of `bytes` argument
// bytes.
#define BENCH_WRAP_IMPORT(Type, name, bytes, realName, function)                           \
    extern "C" Type realName asm(BENCH_IMPORT_SYMBOL("__real_", name, bytes));             \
    extern "C" Type bench_wrapped_##name asm(BENCH_IMPORT_SYMBOL("__wrap_", name, bytes)); \
    Type bench_wrapped_##name = function
