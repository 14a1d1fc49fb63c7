#include "saver/random.h"
// placeholder: replaced by the owner of lib/ and the generator
RandomGenerator::RandomGenerator() : table(56) {}
RandomGenerator::RandomGenerator(int32_t) : table(56) {}
void RandomGenerator::reseed(int32_t) {}
int32_t RandomGenerator::next() { return 0; }
int32_t RandomGenerator::draw(int32_t, int32_t) { return 0; }
void RandomGenerator::print(std::ostream&) const {}
