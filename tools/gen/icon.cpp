#include "icon.h"

#include "art.h"

namespace gen {

const std::vector<int>& iconSizes()
{
    static const std::vector<int> sizes{16, 22, 24, 32, 48, 64, 128, 256};
    return sizes;
}

Canvas drawIcon(int size)
{
    Canvas c(size, size);
    const float n = float(size);
    if (size < 48) {
        // A balloon's cell is 32 by 40 at scale 1, its star reaching the cell's top: keep a
        // pixel's margin so the theme's scaling does not clip it.
        const float s = (n - 2) / 40;
        drawBalloon(c, {(n - 32 * s) / 2, 1.2f}, s, 0, true, false);
        return c;
    }
    // Laid out on a 64-unit square: two balloons behind, the red star balloon in front.
    const float u = n / 64;
    drawBalloon(c, {1 * u, 1 * u}, 0.95f * u, 4, false, false);
    drawBalloon(c, {32.6f * u, 3 * u}, 0.95f * u, 2, false, false);
    drawBalloon(c, {13.6f * u, 18 * u}, 1.15f * u, 0, true, false);
    return c;
}

} // namespace gen
