#include "app/windows/fittingsize.h"

#include <algorithm>
#include <cmath>

namespace printfit {

float fittingSize(float natural, float smallest, float available, const std::function<double(float size)>& widthAt)
{
    const double naturalWidth = widthAt(natural);
    if (naturalWidth <= available)
        return natural;
    // The proportional size first, then down by tenths while measuring
    // still finds it too wide (widths do not shrink exactly in proportion).
    float size = std::floor(float(natural * available / naturalWidth) * 10) / 10;
    while (size > smallest && widthAt(size) > available)
        size -= 0.1f;
    return std::max(size, smallest);
}

} // namespace printfit
