#include "saver/rolling_circles_saver.h"

#include "app/application.h"
#include "saver/random.h"

// The number of circles comes from the stage's generator (the program's, for the
// primary picture), after everything the lines part has drawn from the saver's
// own: members are built after the base.
RollingCirclesSaver::RollingCirclesSaver(EffectHost* host)
    : LinesSaver(host), radii(static_cast<uint32_t>(stage.rand->draw(18, 4) + 3)), phases(2) {
    radii[0] = static_cast<float>(1 - rand.fraction());
    centre_spoke = rand.fraction() < 0.2 && *stage.count >= 2;
    phases[0] = 0;
    phases[1] = static_cast<float>(rand.fraction() * lines_pi);
    draw_inner_radii(rand, radii);
    total = radii_total(radii);
    beta = 0;
    n = 1;
}

void RollingCirclesSaver::print(std::ostream& out) const {
    out << radii << " " << total;
    LinesSaver::print(out);
}

PenPoint RollingCirclesSaver::pen(int32_t which) const {
    return pen_position(radii, beta, phases[which == 0 ? 0 : 1], total);
}

void RollingCirclesSaver::frame() {
    const PenPoint tip = pen(0);
    const PenPoint tail = centre_spoke ? PenPoint{0, 0} : pen(1);
    draw_segment(tail.x, tail.y, tip.x, tip.y, line_colour(), true);
    beta += rolling_step;
    next_colour();
    erase_oldest();
    remember(tail.x, tail.y, tip.x, tip.y);
}
