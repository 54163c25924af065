// The POSIX locale calls the core tests' reference model uses, mapped onto
// the Microsoft C runtime's equivalents for the Windows build of the tests.
#pragma once

#include <locale.h>
#include <stdlib.h>

#ifdef _WIN32
typedef _locale_t locale_t;
#ifndef LC_ALL_MASK
#define LC_ALL_MASK LC_ALL
#endif
static inline locale_t newlocale(int, const char* name, locale_t)
{
    return _create_locale(LC_ALL, name);
}
#define strtod_l _strtod_l
#endif
