#include "saver/circles_math.h"

#include <cmath>

#include "saver/random.h"

void draw_inner_radii(RandomGenerator& rand, Array<float>& radii) {
    const int32_t count = static_cast<int32_t>(radii.count());
    for (int32_t i = 1; i < count; ++i) {
        do {
            radii[i] = static_cast<float>(rand.fraction() * 2 - 1);
        } while (radii[i] == 0.0f);
    }
}

float radii_total(const Array<float>& radii) {
    const int32_t count = static_cast<int32_t>(radii.count());
    float total = 0.0f;
    for (int32_t i = 1; i < count; ++i)
        total += i < count - 1 ? std::fabs(radii[i - 1] - radii[i]) : std::fabs(radii[i]);
    return total;
}

PenPoint pen_position(const Array<float>& radii, float beta, float phase, float total) {
    const int32_t count = static_cast<int32_t>(radii.count());
    if (count < 1 || total == 0.0f) return PenPoint{0.0f, 0.0f};
    float theta = beta;
    float x = 0.0f;
    float y = 0.0f;
    for (int32_t j = 0; j + 2 < count; ++j) {
        const float arm = radii[j] - radii[j + 1];
        x += static_cast<float>(arm * std::cos(theta + phase));
        y += static_cast<float>(arm * std::sin(theta + phase));
        const float ratio = radii[j + 1] == 0.0f ? 0.0f : std::fabs(radii[j] / radii[j + 1]);
        theta = -ratio * theta;
    }
    const float last = radii[count - 1];
    x += static_cast<float>(last * std::cos(theta + phase));
    y -= static_cast<float>(last * std::sin(theta + phase));
    return PenPoint{x / total, y / total};
}
