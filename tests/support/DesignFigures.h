#pragma once
// The window's figures at the densities the tests run at, worked out by hand from the design's
// 8625 x 6225 twips client area and its 8.25-point fonts: the one place the tests state them.

#include <windows.h>

namespace korrimat::testing {

struct DensityFigures {
    int dpi;
    SIZE client;     // pixels
    int fontHeight;  // logical height of both design fonts
};

inline constexpr DensityFigures kDesignFigures[] = {
    {96, {575, 415}, -11},
    {120, {719, 519}, -14},   // 718.75 and 518.75
    {144, {863, 623}, -17},   // 862.5, 622.5 and 16.5 round away from zero
    {192, {1150, 830}, -22},
};

// The figures at a density; null for one the tests do not know.
inline const DensityFigures* FiguresAt(int dpi)
{
    for (const DensityFigures& figures : kDesignFigures)
        if (figures.dpi == dpi)
            return &figures;
    return nullptr;
}

} // namespace korrimat::testing
