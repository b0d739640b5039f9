#pragma once
// Symbol lookup confined to one library, as on Windows: the system loader's lookup through a handle
// also searches the libraries that one needs. Internal to this library.
#include <cstddef>
#include <string>

// The address of `name` when the library of `code` (a dlopen handle) defines it itself; null otherwise.
// `size`, when given, receives the symbol's size in bytes.
void* FindOwnSymbol(void* code, const char* name, std::size_t* size = nullptr);
// The file the library of `code` was loaded from, as the system loader knows it.
std::string LoadedFileOf(void* code);
