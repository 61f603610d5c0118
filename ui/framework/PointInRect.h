#pragma once
// Hit-testing in client coordinates: the right and bottom edges are outside.

#include <windows.h>

inline bool Contains(const RECT& r, int x, int y)
{
    const POINT p = {x, y};
    return PtInRect(&r, p) != FALSE;
}
